#!/usr/bin/env bash
# End to end: several files dropped at once from outside Windows (an X client playing the
# file manager) on the shipped launcher. They bind in the drop's order to the dropped-on
# button and the empty buttons after it, passing over a bound one; the files past the
# last empty button are not bound, and a box says how many. Screenshots of both pages.
# Usage: multi_drop.sh DIST_DIR DRIVER_EXE OUT_DIR
set -euo pipefail
dist=$1 driver=$2 out=$(realpath -m "$3")
source "$(dirname "$0")/common.sh"
rm -rf "$out" && mkdir -p "$out/files"
pid=
trap 'kill $pid 2>/dev/null || true' EXIT

fresh app
# Page 1: four buttons, the second bound. Page 2: three buttons, the first bound.
printf '[General]\r\nPageNum=2\r\n[Page1]\r\nLive=1\r\nName=一\r\nYoko=4\r\nTate=1\r\nBtnW=64\r\nBtnH=64\r\nShowType=0\r\nBtnFP2=C:\\windows\\notepad.exe\r\nBtnName2=メモ帳\r\n[Page2]\r\nLive=1\r\nName=二\r\nYoko=3\r\nTate=1\r\nBtnW=64\r\nBtnH=64\r\nShowType=0\r\nBtnFP1=C:\\windows\\notepad.exe\r\nBtnName1=メモ帳\r\n' \
  | iconv -f utf-8 -t cp932 >"$app/RavariVudovi.ini"
for f in 写真アルバム.txt 請求書.txt 議事録.txt; do touch "$out/files/$f"; done
files=("$out/files/写真アルバム.txt" "$out/files/請求書.txt" "$out/files/議事録.txt")
win() { printf 'Z:%s' "$1" | tr / '\\'; }

(cd "$app" && exec "$run" RavariVudovi.exe) &
pid=$!
D wait-window "$caption" 30000 >/dev/null || fail "no main window"
drop_on() {  # button number (1-based, of the page on display), then the files
  local n=$1 at
  shift
  read -r at _ < <(D buttons "$caption" | sed -n "${n}p")
  /usr/bin/python3 "$here/xdnd_drop.py" $((${at%,*} + 32)) $((${at#*,} + 32)) "$@" || fail "the drop was refused"
}

echo "== three files on button 1 of four, button 2 bound: buttons 1, 3 and 4 take them"
drop_on 1 "${files[@]}"
for _ in $(seq 50); do [ "$(ini Page1 BtnFP4)" != "" ] && break; sleep 0.1; done
expect "$(ini Page1 BtnFP1)" "$(win "${files[0]}")" "the first file, on the dropped-on button"
expect "$(ini Page1 BtnFP2)" 'C:\windows\notepad.exe' "the bound button passed over"
expect "$(ini Page1 BtnFP3)" "$(win "${files[1]}")" "the second file"
expect "$(ini Page1 BtnFP4)" "$(win "${files[2]}")" "the third file"
expect "$(D buttons "$caption" | cut -d' ' -f3- | tr '\n' '|')" "写真アルバム|メモ帳|請求書|議事録|" "the captions"
import -window root "$out/page1.png" 2>/dev/null || true

echo "== three files on button 2 of three, button 1 bound: two bound, one said"
D select-tab "$caption" 1 >/dev/null
sleep 0.3
drop_on 2 "${files[@]}"
expect "$(D message 20000 none)" "Vantri Launch|3 個のファイルのうち 2 個を登録しました。
残りの 1 個は、このボタンから後ろに空いているボタンがないため登録していません。
別のページの空いているボタンにドロップするか、「ページのプロパティ」でボタンの数を増やしてください" "the box"
import -window root "$out/box.png" 2>/dev/null || true
D message 5000 >/dev/null || fail "the box went by itself"
expect "$(ini Page2 BtnFP1)" 'C:\windows\notepad.exe' "the button before the dropped-on one"
expect "$(ini Page2 BtnFP2)" "$(win "${files[0]}")" "the first file"
expect "$(ini Page2 BtnFP3)" "$(win "${files[1]}")" "the second file"
expect "$(ini Page2 BtnFP4)" "" "nothing past the grid"
import -window root "$out/page2.png" 2>/dev/null || true
quit
echo "PASS"
