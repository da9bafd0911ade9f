#!/usr/bin/env bash
# Idle CPU of the shipped launcher with the mouse watch on and off, against a process with
# one bare window: for each, over VL_IDLE_SECONDS (default 60) of idling with the pointer
# still, the CPU time of the program's Wine process and, apart from it, of the prefix's
# wineserver (through which Wine delivers timers and the pointer's position). Printed as
# % of one core, from /proc/PID/stat (utime+stime, in clock ticks) and, finer, from the
# run time of every thread in /proc/PID/task/*/schedstat.
#
# The pointer stays where Xvfb puts it, mid-screen, which is over each window: under Wine a
# window that tracks the mouse (TrackMouseEvent) is polled by a timer while it lies there.
# The cases run one after another in $VL_WINEPREFIX on $DISPLAY; nothing else of ours may
# run in that prefix meanwhile, since the wineserver serves the whole prefix (its own
# services are there in every case alike).
# Usage: idle_cpu.sh DIST_DIR IDLE_WINDOW_EXE OUT_DIR
set -euo pipefail
dist=$(realpath "$1") bare_exe=$(realpath "$2") out=$(realpath -m "$3")
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
run="$here/../tools/wine-run"
prefix=${VL_WINEPREFIX:?set VL_WINEPREFIX to the prefix to run in}
seconds=${VL_IDLE_SECONDS:-60}
settle=${VL_IDLE_SETTLE:-5}  # seconds after the start, before the interval begins
tck=$(getconf CLK_TCK)
rm -rf "$out" && mkdir -p "$out"

source "$here/prefix_process.sh"

# "ticks nanoseconds": utime+stime of the process, and the run time of all its threads.
cpu_of() {
  local ticks ns
  ticks=$(sed 's/.*) //' "/proc/$1/stat" | awk '{print $12 + $13}')
  ns=$(cat "/proc/$1"/task/*/schedstat 2>/dev/null | awk '{s += $1} END {printf "%.0f", s}')
  echo "$ticks $ns"
}

# measure NAME DIR EXE: starts EXE in DIR, lets it settle, measures, ends it; appends
# "NAME proc_ticks proc_ns server_ticks server_ns" to $out/results.
measure() {
  local name=$1 dir=$2 exe=$3 starter pid server a b sa sb
  (cd "$dir" && exec "$run" "$exe") >"$out/$name.log" 2>&1 &
  starter=$!
  pid=$(find_pid "${exe:0:15}") || { echo "idle_cpu: $exe did not start" >&2; return 1; }
  server=$(find_pid 'wineserver(64)?') || { echo "idle_cpu: no wineserver for $prefix" >&2; return 1; }
  sleep "$settle"
  a=$(cpu_of "$pid") sa=$(cpu_of "$server")
  sleep "$seconds"
  b=$(cpu_of "$pid") sb=$(cpu_of "$server")
  kill -0 "$pid" 2>/dev/null || { echo "idle_cpu: $exe ended during the interval" >&2; return 1; }
  kill "$pid"
  for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
  kill -9 "$pid" 2>/dev/null || true
  wait "$starter" 2>/dev/null || true
  echo "$name $a $b $sa $sb" | awk '{print $1, $4 - $2, $5 - $3, $8 - $6, $9 - $7}' >>"$out/results"
}

# A copy of the shipped folder whose settings file turns the mouse watch on or off; the
# launcher makes its first page at start.
launcher_copy() {
  "$here/../tools/copy-shipped.sh" "$dist" "$out/$1"
  printf '[Setting]\r\nIsUseShake=%s\r\n' "$2" >"$out/$1/RavariVudovi.ini"
}

mkdir -p "$out/bare" && cp "$bare_exe" "$out/bare/"
launcher_copy watch-on 1
launcher_copy watch-off 0
measure bare "$out/bare" "$(basename "$bare_exe")"
measure watch-on "$out/watch-on" RavariVudovi.exe
measure watch-off "$out/watch-off" RavariVudovi.exe

awk -v s="$seconds" -v tck="$tck" '
  function pct(ticks) { return 100 * ticks / tck / s }
  function fine(ns) { return 100 * ns / 1e9 / s }
  # The bare window may use no measurable CPU at all: then any use is "inf".
  function ratio(a, b) { return b > 0 ? sprintf("%.1f", a / b) : (a > 0 ? "inf" : "0/0") }
  { name[NR] = $1; pt[NR] = $2; pn[NR] = $3; st[NR] = $4; sn[NR] = $5 }
  END {
    printf "idle CPU over %d s, pointer still: %% of one core (stat ticks of 1/%d s; schedstat run time)\n", s, tck
    printf "%-22s %10s %12s %12s %14s\n", "", "process", "(schedstat)", "wineserver", "(schedstat)"
    label["bare"] = "bare window"; label["watch-on"] = "launcher, watch on"; label["watch-off"] = "launcher, watch off"
    for (i = 1; i <= NR; ++i)
      printf "%-22s %10.3f %12.3f %12.3f %14.3f\n", label[name[i]], pct(pt[i]), fine(pn[i]), pct(st[i]), fine(sn[i])
    for (i = 2; i <= NR; ++i)
      printf "%-22s %10s %12s %12s %14s\n", name[i] " / bare", ratio(pt[i], pt[1]), ratio(pn[i], pn[1]),
             ratio(st[i], st[1]), ratio(sn[i], sn[1])
  }' "$out/results"
