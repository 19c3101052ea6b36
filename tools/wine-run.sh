#!/usr/bin/env bash
# Runs a Windows program under Wine on a private virtual X display, in a
# private prefix (the build tree's own when ctest runs it, else that of
# build/windows), and waits for it. Arguments that name existing Unix
# files are handed to the program as Windows paths.
#
# ROTARY_DISPLAY=host uses $DISPLAY instead of a private display.
# ROTARY_SCREEN=WxH sizes the private display (default 3200x2400, room
# for every size the tests ask for; 1024x576 stands in for a laptop).
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
export WINEPREFIX="${WINEPREFIX:-$root/build/windows/wineprefix}"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="mscoree,mshtml="  # no Mono or Gecko prompts
export WINEARCH=win64

wine=$(command -v wine64 || true)
[ -n "$wine" ] || { [ -x /usr/lib/wine/wine64 ] && wine=/usr/lib/wine/wine64; } || true
[ -n "$wine" ] || wine=$(command -v wine) || { echo "wine-run: Wine is not installed" >&2; exit 1; }
wineserver=$(command -v wineserver || true)
[ -n "$wineserver" ] || wineserver=/usr/lib/wine/wineserver

xvfb_pid=
cleanup() {
  "$wineserver" -k >/dev/null 2>&1 || true
  [ -z "$xvfb_pid" ] || kill "$xvfb_pid" 2>/dev/null || true
}
trap cleanup EXIT

if [ "${ROTARY_DISPLAY:-}" != host ]; then
  # Xvfb picks a free display itself and writes its number once it is ready.
  fifo=$(mktemp -u) && mkfifo "$fifo"
  Xvfb -displayfd 3 -screen 0 "${ROTARY_SCREEN:-3200x2400}x24" -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
  xvfb_pid=$!
  read -r -t 30 number <"$fifo" || { echo "wine-run: Xvfb did not start" >&2; exit 1; }
  rm -f "$fifo"
  export DISPLAY=":$number"
fi

mkdir -p "$(dirname "$WINEPREFIX")"
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  # A first run makes the prefix; later runs reuse it.
  (flock 9; [ -f "$WINEPREFIX/system.reg" ] || { "$wine" wineboot -i >/dev/null 2>&1; "$wineserver" -w; }) \
    9>"$WINEPREFIX.lock"
fi

args=()
for arg in "$@"; do
  if [[ "$arg" == /* && -e "$arg" ]]; then
    args+=("$("$wine" winepath -w "$arg" 2>/dev/null)")
  else
    args+=("$arg")
  fi
done

status=0
"$wine" "${args[@]}" || status=$?
exit "$status"
