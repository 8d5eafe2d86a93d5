#!/usr/bin/env bash
# Makes docs/screenshot.png: Karvosel playing itself in xboard, the board
# beside xboard's engine output window with the thinking lines of both sides.
# Everything runs on a private virtual display (Xvfb), so it needs no screen.
#
#   tools/screenshot.sh [ENGINE [SECONDS]]
#
# ENGINE defaults to the built build/protocol/karvosel; the picture is taken
# SECONDS (default 30) after the game starts. Needs the packages xboard, xvfb,
# xdotool and imagemagick.
set -euo pipefail
cd "$(dirname "$0")/.."
engine=$(realpath "${1:-build/protocol/karvosel}")
seconds=${2:-30}
output=docs/screenshot.png
[ -x "$engine" ] || { echo "no engine at $engine: build it first" >&2; exit 1; }

work=$(mktemp -d)
display_pid=
xboard_pid=
cleanup() {
  [ -n "$xboard_pid" ] && kill "$xboard_pid" 2>/dev/null
  [ -n "$display_pid" ] && kill "$display_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

# Xvfb picks a free display number and writes it to the descriptor given.
exec 3>"$work/display"
Xvfb -displayfd 3 -screen 0 1000x490x24 -nolisten tcp >/dev/null 2>&1 &
display_pid=$!
for _ in $(seq 50); do
  [ -s "$work/display" ] && break
  sleep 0.1
done
exec 3>&-
export DISPLAY=:$(cat "$work/display")

# A settings file of its own, never saved, so that the user's xboard settings
# stay as they are; the engine plays both sides at two minutes a 40 moves.
: >"$work/xboardrc"
/usr/games/xboard -settingsFile "$work/xboardrc" -saveSettingsFile "$work/xboardrc" \
  -saveSettingsOnExit false -fcp "$engine" -scp "$engine" -mode TwoMachines \
  -tc 2 -mps 40 -showThinking true -boardSize Middling -engineOutputUp true \
  -popupExitMessage false >"$work/xboard.log" 2>&1 &
xboard_pid=$!
# The first visible window whose title matches $1, once xboard has opened it.
find_window() {
  local found
  for _ in $(seq 100); do
    found=$(xdotool search --onlyvisible --name "$1" 2>/dev/null || true)
    [ -n "$found" ] && { echo "${found%%$'\n'*}"; return; }
    sleep 0.1
  done
  cat "$work/xboard.log" >&2
  echo "xboard opened no window '$1'" >&2
  exit 1
}
# With no window manager both windows open at the corner: the engine output
# window goes to the right of the board.
board_window=$(find_window ' vs\. ')
output_window=$(find_window '^Engine Output$')
board_width=$(xdotool getwindowgeometry --shell "$board_window" | sed -n 's/^WIDTH=//p')
xdotool windowmove "$output_window" "$((board_width + 4))" 0 \
  windowsize "$output_window" "$((1000 - board_width - 4))" 490
sleep "$seconds"
kill -0 "$xboard_pid" 2>/dev/null || { cat "$work/xboard.log" >&2; exit 1; }

import -window root "$work/screen.png"
# A palette of 64 colours keeps the picture small and the text sharp.
convert "$work/screen.png" -colors 64 -strip -define png:exclude-chunks=date,time "$output"
echo "$output: $(identify -format '%wx%h' "$output"), $(stat -c %s "$output") bytes"
