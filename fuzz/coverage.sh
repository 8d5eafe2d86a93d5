#!/usr/bin/env bash
# Line coverage of the engine by the seed corpus:
#   fuzz/coverage.sh [--functions] [CORPUS_ROOT]   (default fuzz/corpus)
# Builds the fuzz targets with clang's source-based coverage (preset
# coverage, folder build-coverage/), replays each target's seeds (folder
# CORPUS_ROOT/NAME) once, and prints llvm-cov's report per source file of
# board/, eval/, search/, protocol/ and protocol/uci/. With --functions it
# then lists the functions that no input reached.
set -euo pipefail
cd "$(dirname "$0")/.."

functions=false
if [ "${1:-}" = --functions ]; then
  functions=true
  shift
fi
corpus=${1:-fuzz/corpus}
build=build-coverage
llvm_version=14
profdata=$(command -v llvm-profdata-$llvm_version || command -v llvm-profdata)
cov=$(command -v llvm-cov-$llvm_version || command -v llvm-cov)

CXX=clang++ cmake --preset coverage >/dev/null
cmake --build --preset coverage -j2 >/dev/null
rm -rf "$build/profiles"
mkdir -p "$build/profiles"

objects=()
for target in "$build"/fuzz/*_fuzz; do
  name=$(basename "$target" _fuzz)
  [ -d "$corpus/$name" ] || continue
  LLVM_PROFILE_FILE="$build/profiles/$name.profraw" "$target" "$corpus/$name" >/dev/null 2>&1
  objects+=(-object "$target")
done
"$profdata" merge -sparse "$build"/profiles/*.profraw -o "$build/profiles/corpus.profdata"

sources=(board/*.cpp eval/*.cpp search/*.cpp protocol/*.cpp protocol/uci/*.cpp)
"$cov" report "${objects[@]:1}" -instr-profile="$build/profiles/corpus.profdata" "${sources[@]}"
if $functions; then
  echo
  echo "Functions no input reached:"
  "$cov" report -show-functions "${objects[@]:1}" -instr-profile="$build/profiles/corpus.profdata" "${sources[@]}" |
    awk '/^File /{file=$2} $4 == "0.00%" && $1 !~ /^(File|Name|TOTAL)/ {print file, $1}' |
    sed -E "s/^'(.*)':/\1/; s/ [a-z_]+\.cpp:/ /" | c++filt
fi
