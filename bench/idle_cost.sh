#!/usr/bin/env bash
# What Pinora costs while it sits in the notification area, measured beside the
# bare tray program (bench/bare_tray.cpp: a hidden window, a tray icon and a
# 30-second timer). Both run in one Wine desktop: Pinora logged in automatically,
# nothing shown. Once both are idle, /proc is read at the start and the end of
# the window (60 s unless given):
#   CPU time          utime + stime of the Wine process of each program
#   vol. switches     voluntary context switches, summed over its threads
#   resident memory   VmRSS at the end of the window (and its peak, VmHWM)
# and Pinora's figures are given as ratios of the bare program's.
#
#   bench/idle_cost.sh [seconds] [--breakdown] [--from FOLDER]
#
# --breakdown adds where each program's resident memory lies, by mapping
# (/proc/PID/smaps: the image or library file, the heap, other anonymous memory),
# and what two of Pinora's start-up steps cost the bare program alone.
# --from measures the program folder FOLDER instead of build/windows/dist, e.g.
# the stripped one the package is made of (build/windows/package-stage/Pinora).
# It uses its own Wine prefix (build/bench-wineprefix, made on first use), its own
# Xvfb when DISPLAY is unset, and its own copy of the program folder
# (build/bench/P), so it can run while the tests run. Not part of scripts/test:
# it takes over a minute.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
export PINORA_WINEPREFIX=${BENCH_WINEPREFIX:-$here/../build/bench-wineprefix}
# The end-to-end helpers: top, wine_run, WINEPREFIX, wait_for, pids_of,
# start_private_xvfb, stage_program_folder, winpath.
source "$here/../tests/e2e/lib.sh"
seconds=60
breakdown=0
dist=$top/build/windows/dist
usage() { echo "usage: bench/idle_cost.sh [seconds] [--breakdown] [--from FOLDER]" >&2; exit 2; }
while [ $# -gt 0 ]; do
  case $1 in
    --breakdown) breakdown=1 ;;
    --from) [ $# -ge 2 ] || usage; dist=$(cd "$2" && pwd) || exit 2; shift ;;
    ''|*[!0-9]*) usage ;;
    *) seconds=$1 ;;
  esac
  shift
done
bare_exe=$top/build/windows/bench/bare_tray.exe
tool=$top/build/windows/tests/e2e/pinora_e2e_tool.exe
work=$top/build/bench
P=$work/P

cmake --preset windows >/dev/null || exit 1
cmake --build --preset windows -j2 >/dev/null || { echo "idle_cost: build failed" >&2; exit 1; }

xvfb_pid=
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done
  wineserver -k >/dev/null 2>&1
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
}
trap cleanup EXIT
if [ -z "${DISPLAY:-}" ]; then
  start_private_xvfb 141 || { echo "idle_cost: could not start Xvfb" >&2; exit 1; }
fi

# One Wine server and one desktop for both programs (the prefix runs every
# program in its default virtual desktop, with its notification area).
wineserver -k >/dev/null 2>&1
"$wine_run" cmd /c exit 0 >/dev/null 2>&1
wineserver -p >/dev/null 2>&1

# A fresh program folder with a user who is logged in automatically; the
# settings file exists, so no first run shows the today window.
rm -rf "$work"
stage_program_folder "$dist" "$P"
cp "$bare_exe" "$work/bare_tray.exe"
"$wine_run" "$tool" seed-user "$(winpath "$P")" bench bench >/dev/null 2>&1 ||
  { echo "idle_cost: could not seed the user" >&2; exit 1; }

PINORA_WINEDEBUG=+debugstr "$wine_run" "$P/Pinora.exe" >"$work/pinora.log" 2>&1 &
pids+=($!)
PINORA_WINEDEBUG=+debugstr "$wine_run" "$work/bare_tray.exe" >"$work/bare.log" 2>&1 &
pids+=($!)

# The Wine process of a program in our prefix.
wine_pid_of() {
  local pid
  pid=$(pids_of "$1" | head -1)
  [ -n "$pid" ] && echo "$pid"
}
started() {
  grep -qa 'Pinora: logged in' "$work/pinora.log" && grep -qa 'Pinora: notification icon added' "$work/pinora.log" &&
    grep -qa 'bare tray: notification icon added' "$work/bare.log"
}
wait_for 60 started || { echo "idle_cost: the programs did not come up (logs in $work)" >&2; exit 1; }
pinora_pid=$(wine_pid_of "bench/P/Pinora\\.exe") || { echo "idle_cost: no Pinora process" >&2; exit 1; }
bare_pid=$(wine_pid_of "bench/bare_tray\\.exe") || { echo "idle_cost: no bare tray process" >&2; exit 1; }

clk=$(getconf CLK_TCK)
cpu_ms() { awk -v t="$clk" '{ sub(/^.*\) /, ""); print int(($12 + $13) * 1000 / t) }' "/proc/$1/stat"; }
switches() { cat /proc/"$1"/task/*/status 2>/dev/null | awk '/^voluntary_ctxt_switches/ { n += $2 } END { print n + 0 }'; }
status_kb() { awk -v k="$2:" '$1 == k { print $2 }' "/proc/$1/status"; }

# Idle: neither program used CPU for three seconds in a row (timer 10 of Pinora
# may fall into the wait; it is then waited out too).
quiet=0
end=$((SECONDS + 90))
last_p=$(cpu_ms "$pinora_pid"); last_b=$(cpu_ms "$bare_pid")
while [ $quiet -lt 3 ] && [ $SECONDS -lt $end ]; do
  sleep 1
  now_p=$(cpu_ms "$pinora_pid"); now_b=$(cpu_ms "$bare_pid")
  if [ "$now_p" -eq "$last_p" ] && [ "$now_b" -eq "$last_b" ]; then quiet=$((quiet + 1)); else quiet=0; fi
  last_p=$now_p; last_b=$now_b
done
[ $quiet -ge 3 ] || echo "idle_cost: warning: the programs never fell quiet for 3 s; measuring anyway" >&2

cpu0_p=$(cpu_ms "$pinora_pid"); cpu0_b=$(cpu_ms "$bare_pid")
sw0_p=$(switches "$pinora_pid"); sw0_b=$(switches "$bare_pid")
sleep "$seconds"
cpu1_p=$(cpu_ms "$pinora_pid"); cpu1_b=$(cpu_ms "$bare_pid")
sw1_p=$(switches "$pinora_pid"); sw1_b=$(switches "$bare_pid")
rss_p=$(status_kb "$pinora_pid" VmRSS); rss_b=$(status_kb "$bare_pid" VmRSS)
hwm_p=$(status_kb "$pinora_pid" VmHWM); hwm_b=$(status_kb "$bare_pid" VmHWM)

ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (b > 0) printf "%.2fx", a / b; else print "-" }'; }
mb() { awk -v k="$1" 'BEGIN { printf "%.1f MB", k / 1024 }'; }
echo "Idle cost over $seconds s, logged in, nothing shown (Wine $(wine --version 2>/dev/null | sed 's/^wine-//'))"
echo "Pinora from ${dist#"$top"/}"
printf '%-22s %14s %14s %8s\n' "" "Pinora" "bare tray" "ratio"
printf '%-22s %14s %14s %8s\n' "CPU time" "$((cpu1_p - cpu0_p)) ms" "$((cpu1_b - cpu0_b)) ms" \
  "$(ratio $((cpu1_p - cpu0_p)) $((cpu1_b - cpu0_b)))"
printf '%-22s %14s %14s %8s\n' "voluntary switches" "$((sw1_p - sw0_p))" "$((sw1_b - sw0_b))" \
  "$(ratio $((sw1_p - sw0_p)) $((sw1_b - sw0_b)))"
printf '%-22s %14s %14s %8s\n' "resident memory" "$(mb "$rss_p")" "$(mb "$rss_b")" "$(ratio "$rss_p" "$rss_b")"
printf '%-22s %14s %14s %8s\n' "peak resident memory" "$(mb "$hwm_p")" "$(mb "$hwm_b")" "$(ratio "$hwm_p" "$hwm_b")"
echo "CPU difference: $(( (cpu1_p - cpu0_p) - (cpu1_b - cpu0_b) )) ms in $seconds s"

# Resident memory by mapping: each image or library file by name, the rest as
# anonymous memory; the largest first.
rss_by_mapping() {
  awk '
    /^[0-9a-f]+-[0-9a-f]+ / { name = (NF >= 6) ? $6 : "[anonymous]"; for (i = 7; i <= NF; i++) name = name " " $i
                              n = split(name, part, "/"); name = part[n]; next }
    /^Rss:/ { rss[name] += $2; total += $2 }
    END { for (m in rss) if (rss[m] >= 64) printf "%8d kB  %s\n", rss[m], m; printf "%8d kB  total\n", total }
  ' "/proc/$1/smaps" | sort -rn | head -40
}

# The bare program again with one of Pinora's start-up steps added: what the step
# alone costs in resident memory, once the program is idle.
step_rss() {
  local log=$work/step.log pid rss
  : >"$log"
  PINORA_WINEDEBUG=+debugstr "$wine_run" "$work/bare_step.exe" "$@" >"$log" 2>&1 &
  local runner=$!
  pids+=($runner)
  wait_for 30 grep -qa 'bare tray: notification icon added' "$log" || { echo "-"; return; }
  pid=$(wine_pid_of "bench/bare_step\\.exe") || { echo "-"; return; }
  sleep 3
  rss=$(status_kb "$pid" VmRSS)
  kill "$pid" 2>/dev/null
  wait "$runner" 2>/dev/null
  echo "$rss"
}

if [ $breakdown -eq 1 ]; then
  echo
  echo "Pinora resident memory by mapping (64 kB and more):"
  rss_by_mapping "$pinora_pid"
  echo
  echo "bare tray resident memory by mapping (64 kB and more):"
  rss_by_mapping "$bare_pid"
  echo
  echo "Start-up steps of Pinora added to the bare program alone (resident memory, idle):"
  cp "$bare_exe" "$work/bare_step.exe"
  base=$(step_rss)
  printf '  %-44s %s\n' "bare program" "$(mb "$base")"
  for step in ole comctl "ole comctl"; do
    # shellcheck disable=SC2086
    rss=$(step_rss $step)
    case $step in
      ole) what="OleInitialize" ;;
      comctl) what="InitCommonControlsEx (Pinora's classes)" ;;
      *) what="both" ;;
    esac
    printf '  %-44s %s (+%d kB)\n' "+ $what" "$(mb "$rss")" $((rss - base))
  done
fi
