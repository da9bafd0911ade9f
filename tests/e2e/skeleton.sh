#!/usr/bin/env bash
# End to end: the shipped executable starts under Wine, shows its main window (found by
# its caption from another process), hides it when the window is closed, and ends with
# exit code 0 on "終了" in the tray menu.
# Usage: skeleton.sh DIST_DIR DRIVER_EXE OUT_DIR
set -euo pipefail
dist=$1 driver=$2 out=$3
source "$(dirname "$0")/common.sh"

# The shipped files in a folder of their own, so that the settings file it writes stays in the test.
rm -rf "$out" && mkdir -p "$out" && "$here/../../tools/copy-shipped.sh" "$dist" "$out/app"
(cd "$out/app" && exec "$run" RavariVudovi.exe) &
app=$!
trap 'kill $app 2>/dev/null || true' EXIT

D wait-window "$caption" 20000
if command -v import >/dev/null; then import -window root "$out/skeleton.png"; fi
D close-window "$caption"
D wait-gone "$caption" 10000 || { echo "closing the window did not hide it" >&2; exit 1; }
kill -0 $app || { echo "closing the window ended the program" >&2; exit 1; }
D tray right >/dev/null
D menu-pick 6 10000 >/dev/null  # 終了
for _ in $(seq 100); do
  kill -0 $app 2>/dev/null || break
  sleep 0.1
done
if kill -0 $app 2>/dev/null; then
  echo "the launcher did not end within 10 s of 終了" >&2
  exit 1
fi
wait $app
echo "launcher ended with exit code 0"
