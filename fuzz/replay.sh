#!/usr/bin/env bash
# Replays inputs through a fuzz target twice each and compares the runs:
#   fuzz/replay.sh TARGET INPUT...
# Each run writes the engine's output to a transcript; with the harness clock
# and the node limit an input must print the same bytes and end the same way
# both times. Prints the failure of each input, its first output lines, and
# whether the two runs agree; the status is non-zero when one does not.
set -uo pipefail
cd "$(dirname "$0")/.."

name=$1
shift
fuzzer=build-fuzz/fuzz/${name}_fuzz
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
status=0
for input in "$@"; do
  for run in 1 2; do
    KARVOSEL_FUZZ_TRANSCRIPT="$scratch/out$run" "$fuzzer" "$input" >"$scratch/log$run" 2>&1
    echo $? >"$scratch/rc$run"
    # The failure without addresses and process ids, which differ between runs.
    grep -E '^(fuzz:|SUMMARY:|==[0-9]+==ERROR)' "$scratch/log$run" |
      sed -E 's/==[0-9]+==/==/; s/0x[0-9a-f]+/ADDR/g' >"$scratch/failure$run"
  done
  echo "== $input"
  cat "$scratch/failure1"
  if cmp -s "$scratch/out1" "$scratch/out2" && cmp -s "$scratch/failure1" "$scratch/failure2" &&
    cmp -s "$scratch/rc1" "$scratch/rc2"; then
    echo "replayed twice: the same output ($(wc -l <"$scratch/out1") lines) and the same end"
  else
    echo "replayed twice: the runs DIFFER"
    diff "$scratch/out1" "$scratch/out2" | head -n 20
    status=1
  fi
done
exit "$status"
