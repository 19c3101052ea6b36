#!/usr/bin/env bash
# `make run`: shows rotary.exe under Wine on the user's display. Without a
# display it records a preview instead: one animation cycle as
# build/rotary.gif and one frame as build/rotary.png, captured from a
# private virtual display.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build/windows"
exe="$build/dist/rotary.exe"

if [ -n "${DISPLAY:-}" ]; then
  status=0
  ROTARY_DISPLAY=host "$root/tools/wine-run.sh" "$exe" || status=$?
  echo "rotary.exe exited with code $status"
  exit "$status"
fi

convert=/usr/bin/convert
[ -x "$convert" ] || convert=$(command -v convert)
frames="$root/build/preview"
# A failed recording must not leave an older picture looking like its result.
rm -rf "$frames" "$root/build/rotary.gif" "$root/build/rotary.png" && mkdir -p "$frames"
echo "No display: recording one animation cycle on a virtual display"
status=0
"$root/tools/wine-run.sh" "$build/rotary_preview.exe" "$frames" "$exe" || status=$?
if [ "$status" -ne 0 ]; then
  echo "run: the preview recorder failed (exit code $status); no animation written" >&2
  exit "$status"
fi
"$convert" -delay 10 -loop 0 "$frames"/frame-*.bmp -layers OptimizePlus "$root/build/rotary.gif"
first=$(ls "$frames"/frame-*.bmp | head -n 1)
"$convert" "$first" "$root/build/rotary.png"
echo "animation: $root/build/rotary.gif ($(ls "$frames" | wc -l) frames)"
echo "one frame: $root/build/rotary.png"
