#!/usr/bin/env bash
# Builds the release executable twice, from two copies of the source in
# differently named folders, a little apart in time, and compares the
# bytes. Any embedded timestamp, path or date makes them differ.
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

build "$work/first"
sleep 2
build "$work/a-second-and-longer-folder-name"
one="$work/first/build/dist/rotary.exe"
two="$work/a-second-and-longer-folder-name/build/dist/rotary.exe"
if cmp "$one" "$two"; then
  echo "reproducible: both builds give $(sha256sum <"$one" | cut -c1-16)…, $(stat -c %s "$one") bytes"
else
  echo "NOT reproducible: the two builds differ" >&2
  exit 1
fi
