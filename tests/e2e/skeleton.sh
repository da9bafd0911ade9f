#!/usr/bin/env bash
# End to end: the shipped executable starts under Wine, shows its main window (found by
# its caption from another process), and ends with exit code 0 when the window is closed.
# Usage: skeleton.sh DIST_DIR DRIVER_EXE OUT_DIR
set -euo pipefail
dist=$1 driver=$2 out=$3
here=$(cd "$(dirname "$0")" && pwd)
run="$here/../../tools/wine-run"
caption='    -Vantri Launch-'

# A copy of dist/ of its own, so that the settings file it may write stays in the test.
rm -rf "$out" && mkdir -p "$out" && cp -r "$dist"/. "$out/app"
(cd "$out/app" && exec "$run" RavariVudovi.exe) &
app=$!
trap 'kill $app 2>/dev/null || true' EXIT

"$run" "$driver" wait-window "$caption" 20000
if command -v import >/dev/null; then import -window root "$out/skeleton.png"; fi
"$run" "$driver" close-window "$caption"

for _ in $(seq 100); do
  kill -0 $app 2>/dev/null || break
  sleep 0.1
done
if kill -0 $app 2>/dev/null; then
  echo "the launcher did not end within 10 s of its window being closed" >&2
  exit 1
fi
wait $app
echo "launcher ended with exit code 0"
