#!/usr/bin/env bash
# End to end: where and how the shipped launcher comes when called up, from another
# process: with "ShowAtPointer" it comes centred on the pointer, inside the work area,
# the file's place untouched; the shake rests while a window covers the screen, the hot
# key does not; and the keyboard goes back to the control the user was typing in.
# Usage: call_up.sh DIST_DIR DRIVER_EXE SEND_KEYS_EXE EDIT_TARGET_EXE OUT_DIR
set -euo pipefail
dist=$1 driver=$2 keys=$3 target=$4 out=$(realpath -m "$5")
source "$(dirname "$0")/common.sh"
rm -rf "$out" && mkdir -p "$out"

rect() { D state "$caption" | cut -d' ' -f2-; }
# A shake of the mouse, up to three times (a loaded machine may miss a tick of the watch,
# as a user's hand may): prints the launcher's state after the last one.
shake() {
  for _ in 1 2 3; do
    D shake 600 500 41 "L.R.L" >/dev/null
    sleep 0.8
    [ "$(state)" = visible ] && break
  done
  state
}
edit_text() { D controls "edit target" | sed -n 's/^Edit [0-9,]* [0-9x]* //p'; }
start() {
  (cd "$app" && exec "$run" RavariVudovi.exe) &
  pid=$!
  D wait-window "$caption" 30000 >/dev/null || fail "no main window"
  D tray right >/dev/null
  D menu-pick 2 10000 >/dev/null || fail "no tray menu"  # 隠す
  for _ in $(seq 50); do [ "$(state)" = hidden ] && break; sleep 0.1; done
  expect "$(state)" hidden "after 隠す"
}
pid= other=
trap 'kill $pid $other 2>/dev/null || true' EXIT

echo "== ShowAtPointer=1: centred on the pointer, inside the work area, the file's place kept"
fresh pointer
printf '[General]\r\nFormTop=120\r\nFormLeft=140\r\n[Setting]\r\nShowAtPointer=1\r\n' >"$app/RavariVudovi.ini"
start
read -r w h < <(rect | sed -E 's/.* ([0-9]+)x([0-9]+)/\1 \2/')
D hover 300 250 >/dev/null
press 5B+20
expect "$(D state "$caption")" "visible $((300 - w / 2)),$((250 - h / 2)) ${w}x${h}" "centred on the pointer"
press 1B
expect "$(state)" hidden "after Esc"
# Near the bottom right corner: as near the pointer as the screen (1024 x 768) lets it be.
D hover 1000 750 >/dev/null
press 5B+20
expect "$(D state "$caption")" "visible $((1024 - w)),$((768 - h)) ${w}x${h}" "kept inside the work area"
quit
expect "$(ini General FormTop)" "120" "FormTop after showings at the pointer"
expect "$(ini General FormLeft)" "140" "FormLeft after showings at the pointer"

echo "== a window covering the screen in front: the shake rests, Windows+Space still shows"
fresh full
start
# The same shake with an ordinary window of another program in front calls it up.
"$run" "$target" &
other=$!
D wait-window "edit target" 20000 >/dev/null || fail "no window of another program"
D activate "edit target" || fail "could not bring the other program to the front"
sleep 0.3
expect "$(shake)" visible "a shake over an ordinary window"
press 1B
kill "$other" 2>/dev/null || true
wait "$other" 2>/dev/null || true
"$run" "$target" full-screen &
other=$!
D wait-window "full screen" 20000 >/dev/null || fail "no full-screen window"
D activate "full screen" || fail "could not bring the full-screen window to the front"
sleep 0.3
expect "$(shake)" hidden "three shakes over the full-screen window"
press 5B+20
expect "$(state)" visible "Windows+Space over the full-screen window"
press 1B
kill "$other" 2>/dev/null || true
wait "$other" 2>/dev/null || true

echo "== the keyboard given back: Windows+Space, Esc, and typing goes on in the edit"
press 1B
"$run" "$target" &
other=$!
D wait-window "edit target" 20000 >/dev/null || fail "no window of another program"
D activate "edit target" || fail "could not bring the other program to the front"
sleep 0.3
press 41
expect "$(edit_text)" "a" "typed before the call-up"
press 5B+20
expect "$(state)" visible "after Windows+Space"
press 1B
expect "$(state)" hidden "after Esc"
press 42
expect "$(edit_text)" "ab" "typed after the launcher went"
echo "== 隠す from the tray gives it back too"
press 5B+20
D tray right >/dev/null
D menu-pick 2 10000 >/dev/null || fail "no tray menu"  # 隠す
sleep 0.5
press 43
expect "$(edit_text)" "abc" "typed after 隠す"
quit
echo "call-up scenarios passed"
