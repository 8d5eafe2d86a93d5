#!/usr/bin/env bash
# Builds the fuzz targets and runs them for a bounded time:
#   fuzz/run.sh [SECONDS [TARGET...]]   (default 60 seconds in all, every target)
# The time is shared among the targets by the shares below. Each target NAME
# is build-fuzz/fuzz/NAME_fuzz, with its seeds in fuzz/corpus/NAME and a
# working corpus in fuzz/corpus-work/NAME (kept between runs, not in git).
# Every input of both is replayed first, then new inputs are generated for the
# target's share of the time. Any crash, sanitizer report, failed check, leak,
# input slower than 10 s or memory blow-up ends the run with a non-zero status;
# the input is left under build-fuzz/artifacts/ and replayed twice by
# fuzz/replay.sh, which shows the failure and whether both runs agree.
set -euo pipefail
cd "$(dirname "$0")/.."

# Targets and their shares of the time. A new target is a line here, a file
# fuzz/NAME_fuzz.cpp and a seed folder fuzz/corpus/NAME; its dictionary is
# fuzz/NAME.dict where there is one, else the command words of fuzz/commands.dict.
shares=(
  "command_loop 50"
  "fen 15"
  "move_text 10"
  "edit_mode 10"
  "clock_arguments 10"
  "program_arguments 5"
  "uci_loop 30"
)

seconds=${1:-60}
shift || true
selected=("$@")
artifacts=build-fuzz/artifacts

CXX=clang++ cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j2
mkdir -p "$artifacts"

total_share=0
for entry in "${shares[@]}"; do
  set -- $entry
  if [ ${#selected[@]} -eq 0 ] || [[ " ${selected[*]} " == *" $1 "* ]]; then
    total_share=$((total_share + $2))
  fi
done

for entry in "${shares[@]}"; do
  set -- $entry
  name=$1 share=$2
  if [ ${#selected[@]} -gt 0 ] && [[ " ${selected[*]} " != *" $name "* ]]; then continue; fi
  fuzzer=build-fuzz/fuzz/${name}_fuzz
  work=fuzz/corpus-work/$name
  mkdir -p "$work"
  budget=$((seconds * share / total_share))
  [ "$budget" -ge 1 ] || budget=1
  max_len=256
  case $name in command_loop | uci_loop) max_len=4096 ;; esac
  dict=fuzz/commands.dict
  [ -f "fuzz/$name.dict" ] && dict=fuzz/$name.dict
  options=(
    -max_len=$max_len
    -timeout=10
    -rss_limit_mb=2048
    -detect_leaks=1
    -dict="$dict"
    -artifact_prefix="$artifacts/$name-"
    -print_final_stats=1
  )
  before=$(ls "$artifacts" | sort)
  status=0
  echo "== $name: replaying the corpus"
  "$fuzzer" "${options[@]}" -runs=0 "fuzz/corpus/$name" "$work" 2>&1 | tail -n 12 || status=$?
  if [ "$status" -eq 0 ]; then
    echo "== $name: fuzzing for $budget seconds"
    # New inputs go to the first folder: the working corpus, not the seeds.
    "$fuzzer" "${options[@]}" -max_total_time="$budget" "$work" "fuzz/corpus/$name" 2>&1 | tail -n 12 || status=$?
  fi
  if [ "$status" -ne 0 ]; then
    found=$(comm -13 <(echo "$before") <(ls "$artifacts" | sort) | sed "s#^#$artifacts/#")
    [ -z "$found" ] || fuzz/replay.sh "$name" $found || true
    exit "$status"
  fi
done
