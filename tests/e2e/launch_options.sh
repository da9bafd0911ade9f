#!/usr/bin/env bash
# End to end on the shipped launcher: how a button starts its target.
#  - The button dialog's "引数：", "実行時の大きさ：" and "管理者として実行する", found by
#    their labels and set on a bound button, then OK and a click: the helper records the
#    command line and show state it was started with, and the file holds the three keys.
#  - Dragged onto another page's tab, the button takes all seven keys there; "ボタンの削除"
#    on it there clears all seven.
#  - "このページのボタンをすべて開く" on a page of three bound buttons, one of them gone:
#    the two others start in number order, one box names the gone one.
#  - A URL of a protocol registered in the prefix, typed in "場所：": kept, not marked gone,
#    opened by the shell through the protocol's command; "shell:Personal" kept, not gone.
# Writes OUT_DIR/options_dialog.png to look at.
# Usage: launch_options.sh DIST_DIR DRIVER_EXE CWD_WRITER_EXE OUT_DIR
set -euo pipefail
dist=$1 driver=$2 helper=$3 out=$(realpath -m "$4")
source "$(dirname "$0")/common.sh"
rm -rf "$out" && mkdir -p "$out"
pid=
protocol=vle2e$$
trap 'kill $pid 2>/dev/null || true; "$run" reg delete "HKCR\\$protocol" /f >/dev/null 2>&1 || true' EXIT

fresh app
mkdir -p "$app/tools"
for name in rec first gone last url; do cp "$helper" "$app/tools/$name.exe"; done
rm "$app/tools/gone.exe"
win="Z:${app//\//\\}\\tools"
{
  printf '[General]\r\nPageNum=3\r\n[Setting]\r\nAskBeforeDelBtn=0\r\nHideWhenClickBtn=0\r\nIsUseShake=0\r\n'
  printf '[Page1]\r\nLive=1\r\nName=One\r\nYoko=3\r\nTate=1\r\nBtnW=64\r\nBtnH=64\r\n'
  printf 'BtnFP1=%s\r\nBtnName1=rec\r\nBtnIP1=%s\r\nWD1=%s\r\n' "$win\\rec.exe" "$win\\rec.exe" "$win"
  printf '[Page2]\r\nLive=1\r\nName=Two\r\nYoko=3\r\nTate=1\r\nBtnW=64\r\nBtnH=64\r\n'
  printf '[Page3]\r\nLive=1\r\nName=Three\r\nYoko=3\r\nTate=1\r\nBtnW=64\r\nBtnH=64\r\n'
  for i in 1 2 3; do
    name=$(echo first gone last | cut -d' ' -f$i)
    printf 'BtnFP%s=%s\r\nBtnName%s=%s\r\n' $i "$win\\$name.exe" $i $name
  done
} >"$app/RavariVudovi.ini"
(cd "$app" && exec "$run" RavariVudovi.exe) &
pid=$!
D wait-window "$caption" 30000 >/dev/null || fail "no main window"
sleep 0.5

button_at() {  # N: the middle of the Nth visible button
  read -r at size _ < <(D buttons "$caption" | sed -n "$1p")
  echo $((${at%,*} + ${size%x*} / 2)) $((${at#*,} + ${size#*x} / 2))
}
page_menu() {  # N: the page menu on button N, its item PICK chosen
  read -r x y < <(button_at "$1")
  D activate "$caption" >/dev/null
  xdotool mousemove "$x" "$y" click 3
  D menu-pick "$2" 10000 >/dev/null || fail "no page menu on button $1"
}
started() {  # NAME: waits for the helper's reports; prints "args|show"
  for _ in $(seq 100); do
    [ -f "$app/tools/$1.exe.cwd" ] && break
    sleep 0.2
  done
  [ -f "$app/tools/$1.exe.cwd" ] || { echo "not started"; return; }
  printf '%s|%s' "$(cat "$app/tools/$1.exe.args")" "$(cat "$app/tools/$1.exe.show")"
}

echo "== the three fields, set by their labels"
page_menu 1 2  # ボタンのプロパティ
D wait-window "ボタンのプロパティ" 20000 >/dev/null || fail "the dialog did not open"
args='--note "C:\memo 1.txt" 日本'
D set "ボタンのプロパティ" "引数：" "$args" || fail "no field labelled 引数："
D set "ボタンのプロパティ" "実行時の大きさ：" 2 || fail "no list labelled 実行時の大きさ："
D set "ボタンのプロパティ" "管理者として実行する" 1 || fail "no box 管理者として実行する"
sleep 0.3
D controls "ボタンのプロパティ" >"$out/controls.txt"
grep -qF "ComboBox" "$out/controls.txt" && grep -q "^ComboBox .* 最大化$" "$out/controls.txt" ||
  fail "the list shows 最大化: $(cat "$out/controls.txt")"
import -window root "$out/options_dialog.png"
D click "ボタンのプロパティ" "OK" || fail "no OK"
D wait-gone "ボタンのプロパティ" 10000 >/dev/null || fail "OK did not close the dialog"
sleep 0.3
expect "$(ini Page1 BtnArg1)" "$args" "BtnArg1"
expect "$(ini Page1 BtnShow1)" "2" "BtnShow1"
expect "$(ini Page1 BtnAdmin1)" "1" "BtnAdmin1"
read -r x y < <(button_at 1)
D activate "$caption" >/dev/null
xdotool mousemove "$x" "$y" click 1
expect "$(started rec)" "$args|3" "the command line and the show state (SW_SHOWMAXIMIZED) it started with"

echo "== dragged onto the tab of page 2, then deleted there"
read -r tx ty < <(D tab-center "$caption" 1)
D activate "$caption" >/dev/null
D drag-start "$x" "$y" >/dev/null
D drag-to "$tx" "$ty" >/dev/null
D drag-end >/dev/null
sleep 0.5
expect "$(ini Page2 BtnFP1)" "$win\\rec.exe" "the target on page 2"
expect "$(ini Page2 BtnArg1)|$(ini Page2 BtnShow1)|$(ini Page2 BtnAdmin1)" "$args|2|1" "its three keys carried"
expect "$(ini Page1 BtnFP1)|$(ini Page1 BtnArg1)|$(ini Page1 BtnShow1)|$(ini Page1 BtnAdmin1)" "||0|0" \
  "nothing left on page 1"
D select-tab "$caption" 1 >/dev/null
sleep 0.5
page_menu 1 1  # ボタンの削除
sleep 0.5
expect "$(ini Page2 BtnFP1)|$(ini Page2 BtnName1)|$(ini Page2 BtnIP1)|$(ini Page2 WD1)" "|||" "the four cleared"
expect "$(ini Page2 BtnArg1)|$(ini Page2 BtnShow1)|$(ini Page2 BtnAdmin1)" "|0|0" "the three cleared"

echo "== every button of page 3 at once, one of them gone"
D select-tab "$caption" 2 >/dev/null
sleep 0.5
page_menu 1 10  # このページのボタンをすべて開く
box=$(D message 15000) || fail "no box for the gone one"
expect "$box" "Vantri Launch|次のボタンはファイルが見つからないため、開きませんでした。

gone  ($win\\gone.exe)

移動したときは、右クリックの「ボタンのプロパティ」で場所を直してください" "the box"
[ "$(started first)" != "not started" ] || fail "the first did not start"
[ "$(started last)" != "not started" ] || fail "the last did not start"
first_at=$(/usr/bin/python3 -c "print(open('$app/tools/first.exe.started').read())")
last_at=$(/usr/bin/python3 -c "print(open('$app/tools/last.exe.started').read())")
[ "$first_at" -lt "$last_at" ] || fail "not in number order: $first_at, $last_at"

echo "== a URL of a registered protocol, and a shell name"
"$run" reg add "HKCR\\$protocol" /ve /d "URL:$protocol" /f >/dev/null
"$run" reg add "HKCR\\$protocol" /v "URL Protocol" /d "" /f >/dev/null
"$run" reg add "HKCR\\$protocol\\shell\\open\\command" /ve /d "\"$win\\url.exe\" \"%1\"" /f >/dev/null
D select-tab "$caption" 0 >/dev/null
sleep 0.5
set_location() {  # BUTTON LOCATION
  page_menu "$1" 2
  D wait-window "ボタンのプロパティ" 20000 >/dev/null || fail "the dialog did not open"
  D set "ボタンのプロパティ" "場所：" "$2" || fail "no field labelled 場所："
  D click "ボタンのプロパティ" "OK" || fail "no OK"
  D wait-gone "ボタンのプロパティ" 10000 >/dev/null || fail "OK did not close the dialog"
  sleep 0.5
}
set_location 2 "$protocol:hello/world"
set_location 3 "shell:Personal"
expect "$(ini Page1 BtnFP2)" "$protocol:hello/world" "the URL as typed"
expect "$(ini Page1 BtnFP3)" "shell:Personal" "the shell name as typed"
D buttons "$caption" >"$out/buttons.txt"
import -window root "$out/shell_names.png"
expect "$(/usr/bin/python3 "$here/mark_pixels.py" "$out/shell_names.png" "$out/buttons.txt")" "0 0 0" \
  "no gone mark on the URL or the shell name"
read -r x y < <(button_at 2)
D activate "$caption" >/dev/null
xdotool mousemove "$x" "$y" click 1
expect "$(started url)" "\"$protocol:hello/world\"|1" "the protocol's command run by the shell"
D message 500 none >/dev/null 2>&1 && fail "a box for a URL"
quit
echo "screenshots: $out/options_dialog.png $out/shell_names.png"
echo "launch options passed"
