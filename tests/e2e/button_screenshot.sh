#!/usr/bin/env bash
# A picture of launch buttons as Wine draws them: one bound per display type and one
# empty (button_showcase.exe makes the bindings by real drops). Writes OUT_DIR/buttons.png.
# Usage: button_screenshot.sh SHOWCASE_EXE DRIVER_EXE OUT_DIR
set -euo pipefail
showcase=$1 driver=$2 out=$(realpath -m "$3")
here=$(cd "$(dirname "$0")" && pwd)
run="$here/../../tools/wine-run"
rm -rf "$out" && mkdir -p "$out"
"$run" "$showcase" 8 &
app=$!
trap 'kill $app 2>/dev/null || true' EXIT
"$run" "$driver" wait-window "    -Vantri Launch-" 20000 >/dev/null
sleep 1
"$run" "$driver" buttons "    -Vantri Launch-" | tr -d '\r' | tee "$out/buttons.txt"
import -window root "$out/buttons.png"
[ "$(wc -l <"$out/buttons.txt")" -eq 4 ] || { echo "expected four buttons" >&2; exit 1; }
wait $app
echo "screenshot: $out/buttons.png"
