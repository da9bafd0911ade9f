#!/usr/bin/env bash
# End to end: calling the launcher up and sending it away, on the shipped executable under
# Wine: the shake gesture driven with the pointer of another process, the hot keys pressed
# in another process, the tray icon's double click and menu, minimising.
# Usage: showhide.sh DIST_DIR DRIVER_EXE SEND_KEYS_EXE OUT_DIR
set -euo pipefail
dist=$1 driver=$2 keys=$3 out=$(realpath -m "$4")
source "$(dirname "$0")/common.sh"
rm -rf "$out" && mkdir -p "$out" && "$here/../../tools/copy-shipped.sh" "$dist" "$out"

press_pause=0.4
rect() { D state "$caption" | cut -d' ' -f2-; }
shake() { D shake "$@" >/dev/null; sleep 0.3; }

(cd "$out" && exec "$run" RavariVudovi.exe) &
pid=$!
trap 'kill $pid 2>/dev/null || true' EXIT
D wait-window "$caption" 30000 >/dev/null || fail "no main window"
read -r w h < <(rect | sed -E 's/.* ([0-9]+)x([0-9]+)/\1 \2/')

echo "== right after start the window is on screen yet counts as hidden: the shake moves it"
shake 600 500 41 "L.R.L"
expect "$(D state "$caption")" "visible $((559 - w / 2)),$((500 - h / 2)) ${w}x${h}" "centred on the pointer"
gesture_rect=$(rect)

echo "== Esc hides, moves of 40 pixels and a late last swing do nothing, Windows+Space shows"
press 1B
expect "$(state)" "hidden" "after Esc"
shake 300 300 40 "L.R.L"
expect "$(state)" "hidden" "moves of exactly 40 pixels"
shake 300 300 41 "L.R.......L"
expect "$(state)" "hidden" "a last swing 10 steps (9 to 11 ticks) after the first"
shake 300 300 41 "L.R.D.D.D.D.L"
expect "$(state)" "hidden" "a last swing 164 pixels lower"
press 5B+20
expect "$(state)" "visible" "after Windows+Space"
expect "$(rect)" "$gesture_rect" "shown where the gesture put it"

echo "== the tray icon: double click shows, 隠す hides"
press 1B
D tray double >/dev/null
sleep 0.8
expect "$(state)" "visible" "after a double click on the icon"
D tray right >/dev/null
D menu-pick 2 10000 >/dev/null || fail "no tray menu"
sleep 0.3
expect "$(state)" "hidden" "after 隠す"

echo "== the watch switched off: the shake does nothing, the file stays as it was"
before=$(sha1sum <"$out/RavariVudovi.ini")
D tray right >/dev/null
D menu-pick 0 10000 >/dev/null || fail "no tray menu"
sleep 0.3
shake 400 400 41 "L.R.L"
expect "$(state)" "hidden" "shaking with the watch off"
expect "$(sha1sum <"$out/RavariVudovi.ini")" "$before" "the settings file"
D tray right >/dev/null
D menu-pick 0 10000 >/dev/null
sleep 0.3
shake 400 400 41 "L.R.L"
expect "$(state)" "visible" "shaking with the watch on again"

echo "== minimising hides the window and keeps the tray icon"
D syscommand "$caption" 0xF020 >/dev/null
sleep 0.5
expect "$(state)" "hidden" "after minimising"
D tray double >/dev/null
sleep 0.8
expect "$(state)" "visible" "the tray icon still answers"

D tray right >/dev/null
D menu-pick 6 10000 >/dev/null
for _ in $(seq 200); do kill -0 $pid 2>/dev/null || break; sleep 0.1; done
kill -0 $pid 2>/dev/null && fail "the launcher did not end after 終了"
echo "show and hide scenarios passed"
