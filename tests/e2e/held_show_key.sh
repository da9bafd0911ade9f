#!/usr/bin/env bash
# End to end: the show key Windows+Space held by another program, as Windows itself holds
# it from Windows 8 on. The launcher starts without an error, takes Windows+Space from the
# keyboard instead, and leaves every other key to the program that has the focus.
# Usage: held_show_key.sh DIST_DIR DRIVER_EXE SEND_KEYS_EXE HOLD_HOT_KEY_EXE KEY_TARGET_EXE OUT_DIR
set -euo pipefail
dist=$1 driver=$2 keys=$3 holder=$4 target=$5 out=$(realpath -m "$6")
source "$(dirname "$0")/common.sh"
rm -rf "$out" && mkdir -p "$out" && "$here/../../tools/copy-shipped.sh" "$dist" "$out"
log="$out/keys.log"
touch "$log"

typed() { tr '\n' ' ' <"$log"; }

pid= hold= other=
trap 'kill $pid $hold $other 2>/dev/null || true' EXIT
"$run" "$holder" 8 20 vl-e2e-held-show-key &
hold=$!
sleep 1
"$run" "$target" "Z:${log//\//\\}" &
other=$!
D wait-window "drop target" 20000 >/dev/null || fail "no window of another program"

echo "== started with the default settings while Windows+Space is held: no error"
(cd "$out" && exec "$run" RavariVudovi.exe) &
pid=$!
# An error box at start keeps the window from showing until it is answered.
if ! D wait-window "$caption" 20000 >/dev/null; then
  box=$(D message 1000 none 2>/dev/null) && fail "an error box at start: $box"
  fail "no main window"
fi
if box=$(D message 3000 none 2>/dev/null); then fail "an error box at start: $box"; fi
D tray right >/dev/null
D menu-pick 2 10000 >/dev/null || fail "no tray menu"  # 隠す
sleep 0.3
expect "$(state)" "hidden" "after 隠す"

echo "== keys typed into another program all arrive, near misses included"
D activate "drop target" || fail "could not bring the other program to the front"
sleep 0.3
press 41 20 10+20 11+5B+20 5B+41
expect "$(typed)" "key 41 key 20 key 10 key 20 key 11 key 5B key 20 key 5B key 41 " \
  "keys the other program saw"
expect "$(state)" "hidden" "after Ctrl+Windows+Space, not the show key"

echo "== Windows+Space shows the launcher, and its Space reaches no one"
: >"$log"
press 5B+20
expect "$(state)" "visible" "after Windows+Space"
expect "$(typed)" "key 5B key E8 " "keys the other program saw of Windows+Space"
press 1B
expect "$(state)" "hidden" "after Esc in the launcher"
press 5B+20
expect "$(state)" "visible" "after Windows+Space again"

D tray right >/dev/null
D menu-pick 6 10000 >/dev/null || fail "no tray menu"  # 終了
for _ in $(seq 200); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
kill -0 "$pid" 2>/dev/null && fail "the launcher did not end after 終了"
echo "held show key scenarios passed"
