#!/usr/bin/env bash
# End to end on the shipped launcher: a bound button whose program is deleted while the
# launcher is away is dimmed with its mark when it is called up (the screenshot's red mark
# on that button and on no other); its click shows "ファイルが見つかりません" with the path,
# keeps the launcher up and starts nothing; put back, the same click starts it. Writes
# OUT_DIR/gone.png and OUT_DIR/menu.png (the page menu on a bound button) to look at.
# Usage: gone_target.sh DIST_DIR DRIVER_EXE CWD_WRITER_EXE OUT_DIR
set -euo pipefail
dist=$1 driver=$2 helper=$3 out=$(realpath -m "$4")
source "$(dirname "$0")/common.sh"
rm -rf "$out" && mkdir -p "$out"
pid=
trap 'kill $pid 2>/dev/null || true' EXIT

fresh app
mkdir -p "$app/tools"
cp "$helper" "$app/tools/gone.exe"
cp "$helper" "$app/tools/kept.exe"
win="Z:${app//\//\\}\\tools"
{
  printf '[General]\r\nPageNum=1\r\n[Page1]\r\nLive=1\r\nName=Tools\r\nYoko=3\r\nTate=1\r\nBtnW=64\r\nBtnH=64\r\nShowType=0\r\n'
  for i in 1 2; do
    name=$([ $i = 1 ] && echo gone || echo kept)
    printf 'BtnFP%s=%s\r\nBtnName%s=%s\r\nBtnIP%s=%s\r\nWD%s=%s\r\n' \
      $i "$win\\$name.exe" $i $name $i "$win\\$name.exe" $i "$win"
  done
} >"$app/RavariVudovi.ini"
(cd "$app" && exec "$run" RavariVudovi.exe) &
pid=$!
D wait-window "$caption" 30000 >/dev/null || fail "no main window"

# Away ("隠す" in the tray menu), the program deleted, called up again ("表示").
D tray right >/dev/null
D menu-pick 2 10000 >/dev/null || fail "no tray menu"
D wait-gone "$caption" 10000 >/dev/null || fail "the launcher did not hide"
mv "$app/tools/gone.exe" "$app/tools/gone.away"
D tray right >/dev/null
D menu-pick 1 10000 >/dev/null || fail "no tray menu"
D wait-window "$caption" 10000 >/dev/null || fail "the launcher did not come back"
sleep 1
D buttons "$caption" >"$out/buttons.txt"
import -window root -depth 8 "$out/gone.png"
# The red of the mark in the top-right corner of the first button only.
marks=$(/usr/bin/python3 "$here/mark_pixels.py" "$out/gone.png" "$out/buttons.txt")
echo "mark pixels per button: $marks"
read -r first others <<<"$marks"
[ "$first" -gt 30 ] && [ -z "$(echo "$others" | tr -d ' 0')" ] || fail "the mark is not where it belongs: $marks"

read -r at size _ < <(sed -n 1p "$out/buttons.txt")
x=$((${at%,*} + ${size%x*} / 2)) y=$((${at#*,} + 20))
click() {
  D activate "$caption" >/dev/null
  xdotool mousemove "$x" "$y" && sleep 0.3 && xdotool click 1
}
click
box=$(D message 10000 none) || fail "no message box"
import -window root "$out/gone_box.png" 2>/dev/null || true
D message 5000 >/dev/null || fail "the box went by itself"
expect "$box" "Vantri Launch|ファイルが見つかりません
$win\\gone.exe

移動したときは、右クリックの「ボタンのプロパティ」で場所を直してください。
使わないときは、右クリックの「ボタンの削除」でボタンを空けてください" "the box"
sleep 1
expect "$(state)" "visible" "the launcher after the box"
ls "$app/tools/"*.cwd >/dev/null 2>&1 && fail "something started"

# Back: the same click starts it, and the launcher goes as after any click.
mv "$app/tools/gone.away" "$app/tools/gone.exe"
click
for _ in $(seq 100); do
  [ -f "$app/tools/gone.exe.cwd" ] && break
  sleep 0.2
done
[ -f "$app/tools/gone.exe.cwd" ] || fail "the program that came back was not started"
D message 500 none >/dev/null 2>&1 && fail "a box for a program that is there"

# The page menu on the bound button, for the eye.
D tray right >/dev/null
D menu-pick 1 10000 >/dev/null || fail "no tray menu"
D wait-window "$caption" 10000 >/dev/null
read -r at size _ < <(sed -n 2p "$out/buttons.txt")
D activate "$caption" >/dev/null
xdotool mousemove $((${at%,*} + 20)) $((${at#*,} + 20)) && sleep 0.3 && xdotool click 3
for _ in $(seq 50); do
  [ "$(D menu-open)" = open ] && break
  sleep 0.1
done
[ "$(D menu-open)" = open ] || fail "no page menu"
sleep 0.5
import -window root "$out/menu.png"
xdotool key Escape
quit
echo "screenshots: $out/gone.png $out/menu.png"
echo "gone target passed"
