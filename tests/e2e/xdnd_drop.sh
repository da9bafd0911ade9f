#!/usr/bin/env bash
# End to end: files dropped from outside Windows (an X client playing the file manager)
# reach a Wine window as WM_DROPFILES, with their full Windows paths, names outside code
# page 932 included. Usage: xdnd_drop.sh DROP_TARGET_EXE DRIVER_EXE OUT_DIR
set -euo pipefail
target=$1 driver=$2 out=$(realpath -m "$3")
source "$(dirname "$0")/common.sh"

rm -rf "$out" && mkdir -p "$out/files"
touch "$out/files/report.final.txt" "$out/files/café 한글.txt"
log="$out/drops.log"
"$run" "$target" "Z:${log//\//\\}" &
app=$!
trap 'kill $app 2>/dev/null || true' EXIT

geometry=$(D wait-window "drop target" 20000)  # "window X,Y WxH"
read -r x y w h < <(sed -E 's/window (-?[0-9]+),(-?[0-9]+) ([0-9]+)x([0-9]+)/\1 \2 \3 \4/' <<<"$geometry")
/usr/bin/python3 "$here/xdnd_drop.py" $((x + w / 2)) $((y + h / 2)) "$out/files/café 한글.txt"
/usr/bin/python3 "$here/xdnd_drop.py" $((x + w / 2)) $((y + h / 2)) "$out/files/report.final.txt" "$out/files/café 한글.txt"

for _ in $(seq 50); do
  [ -f "$log" ] && [ "$(wc -l <"$log")" -ge 3 ] && break
  sleep 0.1
done
D close-window "drop target"
wait $app || true

echo "dropped:"; cat "$log"
expected_one="$(printf 'Z:%s' "$out/files/café 한글.txt" | tr / '\\')"
grep -qxF "$expected_one" "$log" || { echo "missing: $expected_one" >&2; exit 1; }
[ "$(wc -l <"$log")" -eq 3 ] || { echo "expected 3 files in 2 drops" >&2; exit 1; }
echo "xdnd drops arrived as WM_DROPFILES"
