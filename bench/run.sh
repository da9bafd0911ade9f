#!/usr/bin/env bash
# Builds the Windows tree and runs the launcher's benchmarks on an Xvfb display of their
# own: start-up time and memory (with the many-page starts against their one-page ones,
# and the pages of 40 x 40 shown one after another: windows held, a released page shown
# again, memory after every page), hot-key latency, the rebuild of a page of 40 x 40
# buttons, the shipped program's memory and idle CPU, each against a bare window measured
# in the same run. Prints the figures; takes about
# six minutes, most of it the idle CPU intervals and the rebuilds. They are measurements, not tests: nothing here passes or fails on a figure.
# Compare figures within one run: on a virtual machine that is otherwise idle, Wine's
# round trips between processes (each window made is several) wait for an idle processor
# to wake, and the same start-up has been seen to take five times as long as on a busy one.
# Usage: bench/run.sh   (VL_BUILD names the build folder, as for tools/build.sh)
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${VL_BUILD:-$root/build}
if [ -n "${VL_BUILD:-}" ]; then dist=$build/dist; else dist=$root/dist; fi  # as tools/build.sh
"$root/tools/build.sh" win

source "$root/tools/xvfb.sh"
export VL_WINEPREFIX=$build/win/wineprefix
trap stop_xvfb EXIT
start_xvfb
bench=$build/win/bench
run="$root/tools/wine-run"

echo "== start-up"
"$run" "$bench/startup_bench.exe" 5 | tr -d '\r'
echo
echo "== hot key"
"$run" "$bench/hotkey_latency_bench.exe" 50 | tr -d '\r'
echo
echo "== type to find"
"$run" "$bench/search_bench.exe" 100 | tr -d '\r'
echo
echo "== page rebuild"
"$run" "$bench/page_rebuild_bench.exe" 3 | tr -d '\r'
echo
echo "== memory of the shipped program"
bash "$root/bench/memory.sh" "$dist" "$bench/idle_window.exe" "$build/bench-memory"
echo
echo "== idle CPU"
bash "$root/bench/idle_cpu.sh" "$dist" "$bench/idle_window.exe" "$build/bench-idle"
