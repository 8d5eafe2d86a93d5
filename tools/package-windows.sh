#!/usr/bin/env bash
# tools/package-windows.sh [OUTPUT_DIR]: builds the windows preset and packs
# karvosel-VERSION-windows-x86_64.zip into OUTPUT_DIR (default build-windows):
# every program of the project as a stripped .exe, the bench positions, the
# README as README.txt, docs/windows.md (how to use the programs on Windows)
# as WINDOWS.txt and the licence as LICENSE.txt, all with CR LF line ends so
# that any Windows editor shows them as they are meant.
set -euo pipefail
cd "$(dirname "$0")/.."

output_dir=${1:-build-windows}
cmake --preset windows >/dev/null
cmake --build --preset windows -j2

version=$(sed -n 's/^constexpr const char\* ENGINE_VERSION = "\(.*\)";$/\1/p' \
  build-windows/generated/version.h)
[ -n "$version" ] || { echo "build-windows/generated/version.h gives no version" >&2; exit 1; }
name=karvosel-$version-windows-x86_64
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
mkdir "$stage/$name"

# Every program the build made, so a new one is packed without a change here.
programs=$(find build-windows -name '*.exe' -not -path '*/CMakeFiles/*' | sort)
for program in $programs; do
  x86_64-w64-mingw32-strip -o "$stage/$name/$(basename "$program")" "$program"
done
to_crlf() { sed 's/\r$//; s/$/\r/' "$1" >"$2"; }
to_crlf tools/bench-positions.txt "$stage/$name/bench-positions.txt"
to_crlf README.md "$stage/$name/README.txt"
to_crlf docs/windows.md "$stage/$name/WINDOWS.txt"
if [ -f LICENSE ]; then
  to_crlf LICENSE "$stage/$name/LICENSE.txt"
else
  echo "note: no LICENSE in the source tree; the archive goes without one" >&2
fi

mkdir -p "$output_dir"
archive=$(cd "$output_dir" && pwd)/$name.zip
rm -f "$archive"
(cd "$stage" && cmake -E tar cf "$archive" --format=zip "$name")
echo "$archive"
(cd "$stage" && find "$name" -type f | sort)
