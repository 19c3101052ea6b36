#!/usr/bin/env bash
# Builds the release files twice, from two copies of the source in
# differently named folders, a little apart in time and under another
# umask, and compares all four (executable, zip, SHA256SUMS, BUILDINFO)
# byte for byte. Any embedded timestamp, path, owner or permission makes
# them differ.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

build() {  # $1: folder to copy the source into
  mkdir -p "$1"
  (cd "$root" && tar cf - --exclude=./build --exclude=./.git .) | tar xf - -C "$1"
  cmake -S "$1" -B "$1/build/windows" --toolchain "$1/cmake/mingw-w64-x86_64.cmake" \
    -DCMAKE_BUILD_TYPE=MinSizeRel >/dev/null
  cmake --build "$1/build/windows" --target dist -j 2 >/dev/null
}

one="$work/first"
two="$work/a-second-and-longer-folder-name"
(umask 022 && build "$one")
sleep 2
(umask 077 && build "$two")
status=0
for name in rotary.exe rotary-windows-x64.zip SHA256SUMS BUILDINFO; do
  a="$one/build/windows/dist/$name" b="$two/build/windows/dist/$name"
  hash=$(sha256sum <"$a" | cut -d" " -f1)
  if cmp -s "$a" "$b"; then
    echo "reproducible: $name $hash ($(stat -c %s "$a") bytes) in both builds"
  else
    echo "NOT reproducible: $name is $hash in one build, $(sha256sum <"$b" | cut -d" " -f1) in the other" >&2
    status=1
  fi
done
exit "$status"
