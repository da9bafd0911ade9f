#!/usr/bin/env bash
# A picture of launch buttons as Wine draws them: one bound per display type and one
# empty (button_showcase.exe makes the bindings by real drops). Writes OUT_DIR/buttons.png.
# Usage: button_screenshot.sh SHOWCASE_EXE DRIVER_EXE OUT_DIR
set -euo pipefail
showcase=$1 driver=$2 out=$(realpath -m "$3")
source "$(dirname "$0")/common.sh"
rm -rf "$out" && mkdir -p "$out"
"$run" "$showcase" 8 &
app=$!
trap 'kill $app 2>/dev/null || true' EXIT
D wait-window "$caption" 20000 >/dev/null
sleep 1
D buttons "$caption" | tee "$out/buttons.txt"
import -window root "$out/buttons.png"
[ "$(wc -l <"$out/buttons.txt")" -eq 4 ] || { echo "expected four buttons" >&2; exit 1; }
wait $app
echo "screenshot: $out/buttons.png"
