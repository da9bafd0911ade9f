#!/usr/bin/env bash
# End to end: the hide key on the shipped launcher, keys pressed by a third process. Without
# modifiers ("Esc") it hides the launcher only while the launcher has the keyboard focus,
# and every other program, our tray menu and our question boxes get the key as usual; with
# modifiers ("Ctrl+Alt+H") it is a system-wide hot key.
# Usage: hide_key.sh DIST_DIR DRIVER_EXE SEND_KEYS_EXE KEY_TARGET_EXE OUT_DIR
set -euo pipefail
dist=$1 driver=$2 keys=$3 target=$4 out=$(realpath -m "$5")
source "$(dirname "$0")/common.sh"
rm -rf "$out" && mkdir -p "$out" && "$here/../../tools/copy-shipped.sh" "$dist" "$out"
log="$out/keys.log"
touch "$log"

escs() { grep -c '^key 1B' "$log" || true; }
launcher() {
  (cd "$out" && exec "$run" RavariVudovi.exe) &
  pid=$!
  D wait-window "$caption" 30000 >/dev/null || fail "no main window"
}
quit() {
  D tray right >/dev/null
  D menu-pick 6 10000 >/dev/null || fail "no tray menu"
  for _ in $(seq 200); do kill -0 "$pid" 2>/dev/null || return 0; sleep 0.1; done
  fail "the launcher did not end after 終了"
}

launcher
"$run" "$target" "Z:${log//\//\\}" &
other=$!
trap 'kill $pid $other 2>/dev/null || true' EXIT
D wait-window "drop target" 20000 >/dev/null || fail "no window of another program"

echo "== the launcher shown, another program in front: Esc is that program's"
D activate "drop target" || fail "could not bring the other program to the front"
sleep 0.3
press 1B
expect "$(escs)" "1" "Esc presses the other program saw"
expect "$(state)" "visible" "the launcher, not in front"

echo "== the launcher hidden: Esc is the other program's"
D tray right >/dev/null
D menu-pick 2 10000 >/dev/null || fail "no tray menu"  # 隠す
sleep 0.3
expect "$(state)" "hidden" "after 隠す"
D activate "drop target" || fail "could not bring the other program to the front"
sleep 0.3
press 1B
expect "$(escs)" "2" "Esc presses the other program saw"

echo "== called up by Windows+Space, the launcher has the focus: Esc hides it"
press 5B+20
expect "$(state)" "visible" "after Windows+Space"
press 1B
expect "$(state)" "hidden" "after Esc in the launcher"
expect "$(escs)" "2" "the other program saw no Esc of the launcher's"

echo "== the tray menu open: Esc closes the menu"
D tray right >/dev/null
for _ in $(seq 50); do [ "$(D menu-open)" = open ] && break; sleep 0.1; done
expect "$(D menu-open)" "open" "the tray menu"
press 1B
expect "$(D menu-open)" "closed" "the tray menu after Esc"

echo "== the question before a page goes: Esc answers No"
press 5B+20
expect "$(state)" "visible" "after Windows+Space"
D context-menu "$caption" >/dev/null
D menu-pick 3 10000 >/dev/null || fail "no page menu"  # ページの新規作成
D select-tab "$caption" 1 >/dev/null
D context-menu "$caption" >/dev/null
D menu-pick 4 10000 >/dev/null || fail "no page menu"  # ページの削除
expect "$(D message 20000 none)" "確認|ページ「NewPage」とそのボタンを削除してよろしいですか？" "the question"
press 1B
D message 500 none >/dev/null 2>&1 && fail "the question is still up after Esc"
expect "$(D tabs "$caption" | wc -l)" "2" "both pages stay"
expect "$(state)" "visible" "Esc answered the box and did not hide the launcher"
quit
wait "$pid" 2>/dev/null || true

echo "== a hide key with modifiers stays system-wide"
printf '[Setting]\r\nHideHotKey=Ctrl+Alt+H\r\n' >>"$out/RavariVudovi.ini"
launcher
D activate "drop target" || fail "could not bring the other program to the front"
sleep 0.3
press 11+12+48
expect "$(state)" "hidden" "Ctrl+Alt+H pressed in another program"
before=$(escs)
press 1B
expect "$(escs)" "$((before + 1))" "Esc, no longer the hide key, is the other program's"
quit
echo "hide key scenarios passed"
