#!/usr/bin/env bash
# Builds the web page into the folder given (default build/web): the
# engine figure and the page's GDI drawing compiled to WebAssembly with
# Debian's emscripten, beside the page and its script. Fixed flags, no
# debug information and no paths of the build machine in the output: the
# same sources give the same bytes in any folder.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-$root/build/web}
mkdir -p "$out"
out=$(cd "$out" && pwd)

# Debian's emcc runs its JavaScript tools with the first node on the path;
# a Node.js not from Debian finds their modules only through NODE_PATH.
export NODE_PATH=${NODE_PATH:-/usr/share/nodejs}

cd "$root"
# Every pixel depends on the rounding of each floating-point step: no fused
# multiply-adds, no reordering (as in the program's own build).
emcc -std=c++17 -Os -Wall -Wextra -Werror -ffp-contract=off -fno-exceptions -fno-rtti \
     -I. -Iweb -ffile-prefix-map="$root"=. \
     figure/layout.cpp figure/housing.cpp figure/rotor.cpp web/gdi_canvas.cpp web/page.cpp \
     -sSTANDALONE_WASM --no-entry -sEXPORTED_FUNCTIONS=_PaintPage,_ResizePage \
     -sALLOW_MEMORY_GROWTH=1 -sTOTAL_STACK=65536 -sINITIAL_MEMORY=1MB \
     -o "$out/rotary.wasm"
cp web/index.html web/page.js "$out/"
chmod 644 "$out/rotary.wasm"
