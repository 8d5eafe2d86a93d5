#!/usr/bin/env bash
# Builds the command-loop fuzzer and runs it for a bounded time:
#   fuzz/run.sh [SECONDS]   (default 60)
# First every input of the seed corpus (fuzz/corpus) and of the working corpus
# (fuzz/corpus-work, kept between runs, not in git) is replayed, then new
# inputs are generated for SECONDS. Any crash, sanitizer report, leak, input
# slower than 10 s or memory blow-up ends the run with a non-zero status and
# leaves the input under build-fuzz/artifacts/.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-60}
fuzzer=build-fuzz/fuzz/command_loop_fuzz
work=fuzz/corpus-work
artifacts=build-fuzz/artifacts

CXX=clang++ cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j2
mkdir -p "$work" "$artifacts"

options=(
  -max_len=4096
  -timeout=10
  -rss_limit_mb=2048
  -detect_leaks=1
  -dict=fuzz/commands.dict
  -artifact_prefix="$artifacts/"
  -print_final_stats=1
)

echo "== replaying the corpus"
"$fuzzer" "${options[@]}" -runs=0 fuzz/corpus "$work"

echo "== fuzzing for $seconds seconds"
# New inputs go to the first directory: the working corpus, not the seeds.
"$fuzzer" "${options[@]}" -max_total_time="$seconds" "$work" fuzz/corpus
