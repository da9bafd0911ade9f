#!/usr/bin/env bash
# End to end: the show key as users write it, on the shipped launcher, keys pressed by a
# third process into another program. "ShowHotKey=Win+Space" in the file is Windows+Space,
# never a bare Space. A stored "Space" falls back to the default with one message at start,
# and Space typed into another program reaches that program. In the settings dialog a
# misspelt key is refused with its message, the field at fault keeps the keyboard (Esc
# then cancels the dialog, not the launcher), nothing is written and the key in force
# keeps working.
# Usage: show_key_text.sh DIST_DIR DRIVER_EXE SEND_KEYS_EXE KEY_TARGET_EXE OUT_DIR
set -euo pipefail
dist=$1 driver=$2 keys=$3 target=$4 out=$(realpath -m "$5")
source "$(dirname "$0")/common.sh"
rm -rf "$out" && mkdir -p "$out"
log="$out/keys.log"
touch "$log"
dialog="環境設定"

typed() { tr '\n' ' ' <"$log"; }
key() { xdotool key --clearmodifiers "$@"; sleep 0.3; }
tray_pick() {  # the Nth command of the tray icon's menu
  D tray right >/dev/null
  D menu-pick "$1" 10000 >/dev/null || fail "no tray menu"
  sleep 0.5
}
start() {  # a copy named $1 whose settings file holds the line $2
  fresh "$1"
  printf '[Setting]\r\n%s\r\n' "$2" >"$app/RavariVudovi.ini"
  (cd "$app" && exec "$run" RavariVudovi.exe) &
  pid=$!
}
quit() {
  tray_pick 6
  for _ in $(seq 200); do kill -0 "$pid" 2>/dev/null || return 0; sleep 0.1; done
  fail "the launcher did not end after 終了"
}
# Space typed into the other program reaches it, and calls nothing up.
space_is_the_programs() {
  tray_pick 2  # 隠す
  expect "$(state)" "hidden" "after 隠す"
  D activate "drop target" || fail "could not bring the other program to the front"
  sleep 0.3
  : >"$log"
  press 20
  expect "$(typed)" "key 20 " "Space typed into another program"
  expect "$(state)" "hidden" "Space does not call the launcher up"
  press 5B+20
  expect "$(state)" "visible" "Windows+Space calls the launcher up"
}

pid= other=
trap 'kill $pid $other 2>/dev/null || true' EXIT
"$run" "$target" "Z:${log//\//\\}" &
other=$!
D wait-window "drop target" 20000 >/dev/null || fail "no window of another program"

echo '== "ShowHotKey=Win+Space": Windows+Space, not a bare Space'
start win 'ShowHotKey=Win+Space'
if ! D wait-window "$caption" 30000 >/dev/null; then
  box=$(D message 1000 none 2>/dev/null) && fail "a box at start: $box"
  fail "no main window"
fi
if box=$(D message 2000 none 2>/dev/null); then fail "a box at start: $box"; fi
space_is_the_programs
quit

echo '== "ShowHotKey=Space": the default, with one message at start'
start space 'ShowHotKey=Space'
said=$(D message 30000) || fail "no message at start"
[[ $said == "Vantri Launch|ホットキー「Space」では、ほかのプログラムでこのキーが使えなくなります"* ]] || fail "the message: $said"
[[ $said == *"代わりに「Windows+Space」を使います" ]] || fail "the message does not say what is used: $said"
D wait-window "$caption" 30000 >/dev/null || fail "no main window after the message"
if box=$(D message 2000 none 2>/dev/null); then fail "a second box at start: $box"; fi
space_is_the_programs

echo '== a misspelt key in the settings dialog: refused, the field keeps the keyboard'
tray_pick 5
D wait-window "$dialog" 20000 >/dev/null || fail "the dialog did not open"
key ctrl+Tab
for _ in $(seq 16); do [ "$(D focus)" = "Edit Space" ] && break; key Tab; done
expect "$(D focus)" "Edit Space" "the show field, as the file has it"
xdotool type --delay 60 "Ctrl+Spce"
sleep 0.3
key Return
said=$(D message 10000) || fail "no message for a misspelt key"
expect "$said" "Vantri Launch|ホットキー「Ctrl+Spce」の「Spce」はキーの名前ではありません。修飾キー(Ctrl、Alt、Shift、Windows)とキーの名前1つを「+」でつないでください(例: Windows+Space)" "the refusal"
sleep 0.5
expect "$(D focus)" "Edit Ctrl+Spce" "the field at fault has the keyboard again"
expect "$(D state "$dialog" | cut -d' ' -f1)" "visible" "the dialog stays open"
key Escape
D wait-gone "$dialog" 10000 || fail "Esc did not cancel the dialog"
expect "$(state)" "visible" "Esc was the dialog's, not the launcher's"
expect "$(ini Setting ShowHotKey)" "Space" "nothing written"
tray_pick 2
press 5B+20
expect "$(state)" "visible" "the key in force still calls the launcher up"
quit
echo "show key text scenarios passed"
