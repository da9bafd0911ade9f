#!/usr/bin/env bash
# End to end on the shipped launcher: the button properties dialog reached by a right click
# on a button bound by a real drop, edited with the keyboard (Tab, Shift+Tab, typing,
# Enter) and checked in the settings file and on the button's face; the version box from
# the tray menu with its history read from the executable's folder, whatever folder the
# launcher was started from; a missing history file. Screenshots of both dialogs.
# Usage: dialogs.sh DIST_DIR DRIVER_EXE OUT_DIR
set -euo pipefail
dist=$1 driver=$2 out=$(realpath -m "$3")
source "$(dirname "$0")/common.sh"
rm -rf "$out" && mkdir -p "$out"

start() {  # from the folder given, or the program's own
  (cd "${1:-$app}" && exec "$run" "$app/RavariVudovi.exe") &
  pid=$!
  D wait-window "$caption" 30000 >/dev/null || fail "no main window"
}
quit() {
  D tray right >/dev/null
  D menu-pick 6 10000 >/dev/null || fail "no tray menu"
  for _ in $(seq 200); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
  wait "$pid" || fail "the launcher ended with an error"
}
key() { xdotool key --clearmodifiers "$@"; sleep 0.3; }
focused() { D focus; }
pid=
trap 'kill $pid 2>/dev/null || true' EXIT

echo "== ボタンのプロパティ on a button bound by a drop, edited with the keyboard"
fresh props
start /
mkdir -p "$app/Tools"
printf 'MZ' >"$app/Tools/Editor.exe"
read -r at _ < <(D buttons "$caption" | sed -n 1p)
x=$((${at%,*} + 32)) y=$((${at#*,} + 32))
/usr/bin/python3 "$here/xdnd_drop.py" "$x" "$y" "$app/Tools/Editor.exe" || fail "the drop was refused"
sleep 0.5
expect "$(ini Page1 BtnName1)" "Editor" "the drop"
winapp="Z:${app//\//\\}"
xdotool mousemove "$x" "$y" click 3
D menu-pick 2 10000 >/dev/null || fail "no page menu on a right click"
D wait-window "ボタンのプロパティ" 20000 >/dev/null || fail "the dialog did not open"
sleep 0.5
D controls "ボタンのプロパティ" >"$out/controls.txt"
grep -qxF "Edit 120,32 209x20 Editor" "$out/controls.txt" || fail "name field: $(cat "$out/controls.txt")"
grep -qxF "Edit 120,60 169x20 $winapp\\Tools\\Editor.exe" "$out/controls.txt" || fail "location field"
grep -qxF "Edit 120,88 209x20 $winapp\\Tools" "$out/controls.txt" || fail "working folder field"
grep -qxF "Edit 120,276 209x20 [disabled] $winapp\\Tools\\Editor.exe" "$out/controls.txt" ||
  fail "the icon field is disabled for a file's own icon, and shows its path"
expect "$(focused)" "Edit Editor" "the focus starts on the name"
key Tab
expect "$(focused)" "Edit $winapp\\Tools\\Editor.exe" "Tab moves on to the location"
key shift+Tab
expect "$(focused)" "Edit Editor" "Shift+Tab comes back"
import -window root "$out/button_properties.png"
xdotool type --delay 60 "Renamed"
sleep 0.3
key Return
D wait-gone "ボタンのプロパティ" 10000 || fail "Enter did not close the dialog"
sleep 0.3
expect "$(ini Page1 BtnName1)" "Renamed" "the new name in the settings file"
expect "$(ini Page1 BtnIP1)" "$winapp\\Tools\\Editor.exe" "the icon file stays the target"
expect "$(D buttons "$caption" | sed -n 1p | cut -d' ' -f3-)" "Renamed" "the new name on the button's face"

echo "== ボタンのプロパティ on a folder bound by a drop, just after the file's"
mkdir -p "$app/Docs"
read -r at _ < <(D buttons "$caption" | sed -n 2p)
x=$((${at%,*} + 32)) y=$((${at#*,} + 32))
/usr/bin/python3 "$here/xdnd_drop.py" "$x" "$y" "$app/Docs" || fail "the folder drop was refused"
sleep 0.5
xdotool mousemove "$x" "$y" click 3
D menu-pick 2 10000 >/dev/null || fail "no page menu on a right click"
D wait-window "ボタンのプロパティ" 20000 >/dev/null || fail "the dialog did not open on the folder"
sleep 0.5
expect "$(ini Page1 BtnIP2)" "$winapp\\res\\be_fold.ico" "the folder icon the drop gave"
D controls "ボタンのプロパティ" >"$out/controls_folder.txt"
grep -qxF "Edit 120,276 209x20 [disabled] $winapp\\Docs" "$out/controls_folder.txt" ||
  fail "no other icon for a dropped folder, its own path shown: $(cat "$out/controls_folder.txt")"
grep -qxF "Button 296,244 33x20 [disabled] 参照" "$out/controls_folder.txt" || fail "the icon's browse button is greyed"
import -window root "$out/button_properties_folder.png"
before=$(cat "$app/RavariVudovi.ini")
key Return
D wait-gone "ボタンのプロパティ" 10000 || fail "Enter did not close the dialog"
sleep 0.3
expect "$(cat "$app/RavariVudovi.ini")" "$before" "OK with nothing changed leaves the settings file as it was"

echo "== バージョン情報 from the tray menu, started from another folder"
D tray right >/dev/null
D menu-pick 3 10000 >/dev/null || fail "no tray menu"
D wait-window "バージョン情報" 20000 >/dev/null || fail "the version box did not open"
sleep 0.5
D controls "バージョン情報" >"$out/about.txt"
grep -qx "Static .* version 1.01" "$out/about.txt" || fail "the version: $(cat "$out/about.txt")"
grep -qx "Static .* Vantri Launch" "$out/about.txt" || fail "the title"
grep -qx "Edit .* Vantri Launch 更新履歴" "$out/about.txt" || fail "the history tab does not hold History.txt"
grep -qx "  ・設定ファイルの保存を安全にしました" "$out/about.txt" || fail "the history in Shift_JIS"
import -window root "$out/about.png"
key ctrl+Tab
expect "$(D tabs "バージョン情報" | tr '\n' ' ')" " バージョン情報 *更新履歴 " "Ctrl+Tab changes the tab"
import -window root "$out/about_history.png"
# The text takes the dialog's keys for its dialog, not for the sheet it sits on: Tab
# leaves it, and Esc (no cancel button here) closes nothing, least of all the sheet.
read -r mx my < <(D center "バージョン情報" Edit) || fail "no history text to click"
xdotool mousemove "$mx" "$my" click 1
sleep 0.3
expect "$(D focus | head -1)" "Edit Vantri Launch 更新履歴" "a click puts the focus in the text"
key Tab
expect "$(D focus)" "Button OK" "Tab leaves the text for the next control"
xdotool mousemove "$mx" "$my" click 1
sleep 0.3
key Escape
# Read whole before grep: grep -q stops at its first match, and the driver's write of the
# rest into the closed pipe would fail the check under pipefail.
grep -qx "Edit .* Vantri Launch 更新履歴" <<<"$(D controls "バージョン情報")" || fail "Esc in the text took its tab away"
expect "$(D state "バージョン情報" | cut -d' ' -f1)" "visible" "Esc with no cancel button closes nothing"
key Tab
expect "$(D focus)" "Button OK" "the keyboard still walks the box"
key Return
D wait-gone "バージョン情報" 10000 || fail "Enter did not press OK"
quit

echo "== no History.txt beside the program: one error at start, the launcher runs"
fresh nohistory
rm "$app/History.txt"
(cd "$app" && exec "$run" RavariVudovi.exe) &
pid=$!
expect "$(D message 30000)" "Vantri Launch|ファイル History.txt は開けません." "the error report"
D wait-window "$caption" 30000 >/dev/null || fail "no main window after the error"
D tray right >/dev/null
D menu-pick 3 10000 >/dev/null || fail "no tray menu"
D wait-window "バージョン情報" 20000 >/dev/null || fail "the version box did not open"
grep -qx "Edit .* Memo1" <<<"$(D controls "バージョン情報")" || fail "the history tab shows Memo1"
quit
echo "screenshots: $out/button_properties.png $out/button_properties_folder.png $out/about.png $out/about_history.png"
echo "dialog scenarios passed"
