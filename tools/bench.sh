#!/usr/bin/env bash
# `make bench`: measures the figure on the host with Google Benchmark and
# the real program under Wine, all in this one run, prints a table and
# then the summary line.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

# --- the figure per frame, against the same libm calls alone
json=$(mktemp)
trap 'rm -f "$json"' EXIT
build/bench/figure_bench --benchmark_format=json --benchmark_repetitions=5 \
  --benchmark_report_aggregates_only=true >"$json" 2>/dev/null
median() {  # $1: benchmark name; prints its median CPU time in ns
  python3 -c '
import json, sys
for b in json.load(open(sys.argv[1]))["benchmarks"]:
    if b["name"] == sys.argv[2] + "_median":
        print("%.0f" % b["cpu_time"])' "$json" "$1"
}
figure_small=$(median FigureFrame/800/600)
floor_small=$(median LibmFloor/800/600)
figure_large=$(median FigureFrame/3840/2160)
floor_large=$(median LibmFloor/3840/2160)
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }

# --- the real program under Wine, sampled from /proc at the probe's marks
ticks=$(getconf CLK_TCK)
cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }
rss_kb() { awk '/^VmRSS:/ { print $2 }' "/proc/$1/status"; }
now_ms() { date +%s%3N; }

coproc PROBE { exec "$root/tools/wine-run.sh" "$root/build/windows/rotary_probe.exe" \
                 "$root/build/windows/dist/rotary.exe" 2>&1; }
probe_out=${PROBE[0]} probe_in=${PROBE[1]} probe_pid=$PROBE_PID
pid= first_paint= rate= exit_code= idle_cpu= idle_ms= rss_before= rss_after=
while IFS= read -r line <&"$probe_out"; do
  line=${line%$'\r'}  # the Windows C runtime ends its lines with CR LF
  [ -z "${BENCH_TRACE:-}" ] || echo "probe: $line" >&2
  case "$line" in
    first-paint-ms*) first_paint=${line#* } ;;
    repaints-per-second*) rate=${line#* } ;;
    exit-code*) exit_code=${line#* } ;;
    error*) echo "bench: probe: $line" >&2 ;;
    mark*)
      [ -n "$pid" ] || pid=$(pgrep -x -n rotary.exe)
      case "$line" in
        "mark idle-start") idle_cpu=$(cpu_ticks "$pid"); idle_ms=$(now_ms) ;;
        "mark idle-end")
          idle_cpu=$(( $(cpu_ticks "$pid") - idle_cpu )); idle_ms=$(( $(now_ms) - idle_ms )) ;;
        "mark repaint-start") rss_before=$(rss_kb "$pid") ;;
        "mark repaint-end") rss_after=$(rss_kb "$pid") ;;
      esac
      echo go >&"$probe_in" ;;
  esac
done
wait "$probe_pid" 2>/dev/null || true
[ -n "$exit_code" ] && [ -n "$rss_after" ] || { echo "bench: the probe did not finish" >&2; exit 1; }

cpu=$(awk -v t="$idle_cpu" -v hz="$ticks" -v ms="$idle_ms" 'BEGIN { printf "%.1f", 100 * t / hz / (ms / 1000) }')
grown=$(( rss_after - rss_before ))
size=$(stat -c %s build/windows/dist/rotary.exe)

printf '%-44s %14s %14s\n' "measure" "800x600" "3840x2160"
printf '%-44s %11s ns %11s ns\n' "figure per frame (housing + rotor)" "$figure_small" "$figure_large"
printf '%-44s %11s ns %11s ns\n' "libm floor (same calls alone)" "$floor_small" "$floor_large"
printf '%-44s %13sx %13sx\n' "figure / floor (target 1.6 or less)" \
  "$(ratio "$figure_small" "$floor_small")" "$(ratio "$figure_large" "$floor_large")"
printf '%-44s %14s\n' "CPU animating, share of a core (target 1.5%)" "$cpu%"
printf '%-44s %14s\n' "forced repaints per second" "$rate"
printf '%-44s %11s KB\n' "resident before 10,000 repaints" "$rss_before"
printf '%-44s %11s KB\n' "resident after" "$rss_after"
printf '%-44s %11s ms\n' "start to first paint" "$first_paint"
printf '%-44s %14s\n' "stripped rotary.exe (target 32 KB)" "$size B"
printf '%-44s %14s\n' "exit code after WM_CLOSE" "$exit_code"
echo "bench: figure $(ratio "$figure_small" "$floor_small")x libm floor, CPU $cpu% of a core, RSS $( ((grown >= 0)) && echo +)$grown KB over 10000 paints, exe $size bytes"
