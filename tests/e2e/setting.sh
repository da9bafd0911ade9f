#!/usr/bin/env bash
# End to end on the shipped launcher: the settings dialog opened from the real tray menu,
# the start-up shortcut registered with the keyboard, the show hot key changed to
# Ctrl+Alt+L with the keyboard from another process, OK by Enter; then the new key calls
# the launcher up when another process presses it, and Windows+Space no longer does. The
# start-up state shown, each start-up button's message, and the button that would do
# nothing greyed. A screenshot of each tab and of the message.
# Usage: setting.sh DIST_DIR DRIVER_EXE SEND_KEYS_EXE OUT_DIR
set -euo pipefail
dist=$1 driver=$2 keys=$3 out=$(realpath -m "$4")
source "$(dirname "$0")/common.sh"
rm -rf "$out" && mkdir -p "$out"
dialog="環境設定"
key() { xdotool key --clearmodifiers "$@"; sleep 0.3; }
tray_pick() {  # the Nth command of the tray icon's real menu
  D tray right >/dev/null
  D menu-pick "$1" 10000 >/dev/null || fail "no tray menu"
  sleep 0.5
}
# Tab until the focus is on the control described, at most 16 times.
tab_to() {
  for _ in $(seq 16); do
    [ "$(D focus)" = "$1" ] && return 0
    key Tab
  done
  fail "Tab never reached [$1]; the focus is on [$(D focus)]"
}
pid=
trap 'kill $pid 2>/dev/null || true' EXIT

fresh setting
startup_link() { find "${VL_WINEPREFIX:-$HOME/.wine}/drive_c/users" -ipath '*/startup/RavariVudovi.lnk'; }
startup_link | while read -r old; do rm -f "$old"; done
(cd "$app" && exec "$run" RavariVudovi.exe) &
pid=$!
D wait-window "$caption" 30000 >/dev/null || fail "no main window"
tray_pick 2
press 5B+20
expect "$(state)" "visible" "Windows+Space calls the launcher up before the change"
tray_pick 5
D wait-window "$dialog" 20000 >/dev/null || fail "the dialog did not open"
sleep 0.5
expect "$(D state "$dialog" | sed -E 's/.* //')" "352x405" "the dialog's outer size"
has() {  # each line, exactly, among the controls as the driver lists them
  D controls "$dialog" >"$out/controls.txt"
  for line in "$@"; do
    grep -qxF "$line" "$out/controls.txt" || fail "no [$line] in: $(cat "$out/controls.txt")"
  done
}
has "Button 28,46 280x16 ボタンを削除するときに確認する" "Button 28,70 280x16 ページを削除するときに確認する" \
    "Button 28,94 280x16 ボタンを押したらランチャーを隠す" "Static 24,275 298x16 スタートアップに登録されていません" \
    "Button 24,299 148x25 スタートアップに登録" "Button 174,299 148x25 [disabled] スタートアップから削除" \
    "Button 180,347 75x25 OK" "Button 263,347 75x25 キャンセル"
expect "$(D tabs "$dialog" | tr '\n' '|')" "*一般設定| 呼び出し| 表示|" "the three tabs, the first selected"
import -window root "$out/setting_general.png"

echo "== スタートアップに登録 with the keyboard"
tab_to "Button スタートアップに登録"
key Return
expect "$(D message 10000 none)" "Vantri Launch|スタートアップに登録しました。次にWindowsにサインインしたときから自動で起動します" \
  "what the button did"
import -window root "$out/setting_registered.png"
key Return
sleep 0.5
lnk=$(startup_link | head -1)
[ -n "$lnk" ] || fail "no RavariVudovi.lnk in the Startup folder"
has "Static 24,275 298x16 スタートアップに登録されています" "Button 24,299 148x25 [disabled] スタートアップに登録" \
    "Button 174,299 148x25 スタートアップから削除"
expect "$(D focus)" "Button スタートアップから削除" "the focus leaves the greyed button for the other"

echo "== the show key changed to Ctrl+Alt+L"
key ctrl+Tab
has "Button 20,36 306x128 マウス" "Button 32,56 200x16 マウスを振って呼び出す" "Edit 88,79 40x20 9" \
    "Static 150,82 170x14 (多いと呼び出しやすくなる)" "Edit 88,107 40x20 40" "Static 150,110 170x14 (多いと速く振る必要がある)" \
    "Button 202,134 112x22 デフォルトに戻す" "Button 20,172 306x128 ホットキー" "Button 32,192 200x16 ホットキーを使う" \
    "Edit 88,215 160x20 Windows+Space" "Edit 88,243 160x20 Esc" "Button 202,270 112x22 デフォルトに戻す"
cp "$out/controls.txt" "$out/controls_startup.txt"
import -window root "$out/setting_startup.png"
tab_to "Edit Windows+Space"
xdotool type --delay 60 "Ctrl+Alt+L"
sleep 0.3
expect "$(D focus)" "Edit Ctrl+Alt+L" "the typed key"
key Return
D wait-gone "$dialog" 10000 || fail "Enter did not press OK"
sleep 0.5
expect "$(ini Setting ShowHotKey)" "Ctrl+Alt+L" "the show key in the settings file"

tray_pick 2
expect "$(state)" "hidden" "after 隠す"
press 11+12+4C
expect "$(state)" "visible" "after Ctrl+Alt+L from another process"
tray_pick 2
press 5B+20
expect "$(state)" "hidden" "Windows+Space no longer calls the launcher up"

echo "== スタートアップから削除"
tray_pick 5
D wait-window "$dialog" 20000 >/dev/null || fail "the dialog did not open again"
key ctrl+shift+Tab  # back from 呼び出し, where it was left, to 一般設定
tab_to "Button スタートアップから削除"
key Return
expect "$(D message 10000 none)" "Vantri Launch|スタートアップから削除しました" "what the button did"
key Return
sleep 0.5
[ ! -e "$lnk" ] || fail "the shortcut is still in the Startup folder"
has "Static 24,275 298x16 スタートアップに登録されていません" "Button 24,299 148x25 スタートアップに登録" \
    "Button 174,299 148x25 [disabled] スタートアップから削除"
key Escape
D wait-gone "$dialog" 10000 || fail "Esc did not press キャンセル"

tray_pick 6
for _ in $(seq 200); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
wait "$pid" || fail "the launcher ended with an error"
echo "screenshots: $out/setting_general.png $out/setting_registered.png $out/setting_startup.png"
echo "settings scenario passed"
