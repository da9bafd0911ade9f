#!/usr/bin/env bash
# End to end: the shipped launcher's button faces read off the screen. A page of long
# Japanese names (text only, 64 x 64) at 96 and 144 DPI: a long name on two lines, a short
# one on one, read from the caption's pixels; the tooltip of a bound button of a started
# program (nothing dropped in this run) with its name and path on two lines; the button a
# drag would take lit; a page of icons and text at 80 x 80. Then a first start: the hint on
# page 1's empty buttons, gone after one drop. A button dropped on another page's tab
# says so there. Screenshots of each.
# Usage: faces.sh DIST_DIR DRIVER_EXE OUT_DIR
set -euo pipefail
dist=$1 driver=$2 out=$(realpath -m "$3")
source "$(dirname "$0")/common.sh"
rm -rf "$out" && mkdir -p "$out"
base_prefix=${VL_WINEPREFIX:-$here/../../build/win/wineprefix}
pid=
trap 'kill $pid 2>/dev/null || true' EXIT

start() {
  (cd "$app" && exec "$run" RavariVudovi.exe) &
  pid=$!
  D wait-window "$caption" 30000 >/dev/null || fail "$1: no main window"
  sleep 1.5
}
stop() {
  kill "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
}
# The visible launch buttons as X,Y,W,H, one a line, in the order of their creation.
rects() { D buttons "$caption" | sed -E 's/^(-?[0-9]+),(-?[0-9]+) ([0-9]+)x([0-9]+).*/\1,\2,\3,\4/'; }
# The faces read off a screenshot; a screenshot that fails (a window going meanwhile) is
# taken again.
faces() {
  local shot=$out/shot.ppm
  for _ in 1 2 3; do
    if import -window root -depth 8 "ppm:$shot" 2>/dev/null; then
      /usr/bin/python3 "$here/face_pixels.py" "$@" <"$shot"
      return
    fi
    sleep 0.3
  done
  fail "no screenshot"
}
centre() { IFS=, read -r x y w h <<<"$1"; echo "$((x + w / 2)) $((y + h / 2))"; }

names() {
  fresh "$1"
  local np='C:\windows\notepad.exe'
  printf '%s\r\n' '[General]' 'PageNum=2' '[Setting]' 'IsUseShake=0' 'IsUseHotKey=0' 'HideWhenClickBtn=0' \
    '[Page1]' 'Live=1' 'Name=長い名前' 'Yoko=8' 'Tate=1' 'BtnW=64' 'BtnH=64' 'ShowType=2' 'FontSize=9' \
    "BtnFP1=$np" 'BtnName1=写真アルバム' 'BtnFP2=C:\windows' 'BtnName2=ドキュメントフォルダー' \
    'BtnFP3=C:\windows\system32' 'BtnName3=「メモ」帳' "BtnFP4=$np" 'BtnName4=ダウンロード済みファイル' \
    "BtnFP5=$np" 'BtnName5=ABC-DEF-GHIJ' "BtnFP6=$np" 'BtnName6=電卓計算' "BtnFP7=$np" 'BtnName7=電卓' \
    'BtnName8=WWWWWWWWWWWW' \
    '[Page2]' 'Live=1' 'Name=両方' 'Yoko=4' 'Tate=1' 'BtnW=80' 'BtnH=80' 'ShowType=0' 'FontSize=9' \
    "BtnFP1=$np" "BtnIP1=$np" 'BtnName1=写真アルバム' "BtnFP2=$np" "BtnIP2=$np" 'BtnName2=電卓' \
    "BtnFP3=$np" "BtnIP3=$np" 'BtnName3=ドキュメントフォルダー' | iconv -f UTF-8 -t CP932 >"$app/RavariVudovi.ini"
}

run_names() {
  local label=$1 em=$2 inset=$3  # the caption font's 9 points and the focus mark's inset, in pixels
  names "$label"
  start "$label"
  D hover 0 0 >/dev/null
  mapfile -t buttons < <(rects)
  [ "${#buttons[@]}" = 8 ] || fail "$label: expected 8 buttons, got ${#buttons[@]}"
  # Long names on two lines, 電卓計算 and 電卓 on one.
  import -window root "$out/$label.png"
  expect "$(faces lines "$em" "${buttons[@]}")" "2 2 2 2 2 1 1 2" "$label: lines of each caption"
  # Button 8 (a name without a target, which a click only focuses) pressed: its two lines,
  # as wide as they can be, leave the pixel next to the focus mark clear.
  read -r fx fy < <(centre "${buttons[7]}")
  D drag-start "$fx" "$fy" >/dev/null
  D drag-end >/dev/null
  D hover 0 0 >/dev/null
  sleep 0.5
  import -window root "$out/$label-focus.png"
  expect "$(faces gap "$inset" "${buttons[7]}")" "0" "$label: caption pixels next to the focus mark"

  # The tooltip of button 1, bound by the file the program started from.
  read -r cx cy < <(centre "${buttons[0]}")
  D hover "$cx" "$cy" >/dev/null
  local tip
  tip=$(D tip "$caption" 5000) || fail "$label: no tooltip came up"
  expect "$tip" $'写真アルバム\nC:\\windows\\notepad.exe' "$label: the tooltip's name and path"
  sleep 0.3
  import -window root "$out/$label-tip.png"

  # Button 1 dragged over button 2: 2 is lit; back over 1 and released there, nothing is.
  read -r tx ty < <(centre "${buttons[1]}")
  IFS=, read -r bx by _ bh <<<"${buttons[1]}"
  IFS=, read -r ox oy _ oh <<<"${buttons[2]}"
  D drag-start "$cx" "$cy" >/dev/null
  D drag-to "$tx" "$ty" >/dev/null
  sleep 0.5
  local lit plain
  lit=$(faces pixel $((bx + 1)) $((by + bh / 2))) || fail "$label: no pixel read"
  plain=$(faces pixel $((ox + 1)) $((oy + oh / 2))) || fail "$label: no pixel read"
  [ "$lit" != "$plain" ] || fail "$label: the button under the drag is not lit ($lit)"
  import -window root "$out/$label-drag.png"
  D drag-to "$cx" "$cy" >/dev/null
  D drag-end >/dev/null
  sleep 0.5
  expect "$(faces pixel $((bx + 1)) $((by + bh / 2)))" "$plain" "$label: lit after the drag"

  # Button 7 dropped on the tab of page 2, which has room: the tab says where it went.
  read -r sx sy < <(centre "${buttons[6]}")
  read -r tx ty < <(D tab-center "$caption" 1) || fail "$label: no tab 2"
  D drag-start "$sx" "$sy" >/dev/null
  D drag-to "$tx" "$ty" >/dev/null
  D drag-end >/dev/null
  expect "$(D tip "$caption" 3000)" "「両方」へ移動しました" "$label: the word at the tab"
  import -window root "$out/$label-moved.png"
  expect "$(ini Page2 BtnName4)" "電卓" "$label: the button on page 2"

  # The page of icons and text: room at 80 x 80 for the glyph and two lines.
  D select-tab "$caption" 1 >/dev/null
  D hover 0 0 >/dev/null
  sleep 1
  import -window root "$out/$label-both.png"
  stop
}

VL_WINEPREFIX=$base_prefix run_names names96 12 4

VL_WINEPREFIX=$(prefix_at_144_dpi) run_names names144 18 6

# A first start: no settings file. The hint on each of page 1's empty buttons; a file
# dropped on button 1 takes it from all of them.
export VL_WINEPREFIX=$base_prefix
fresh first
start first
mapfile -t buttons < <(rects)
[ "${#buttons[@]}" = 5 ] || fail "first start: expected 5 buttons, got ${#buttons[@]}"
read -r -a grey < <(faces grey "${buttons[@]}") || fail "first start: no faces read"
for n in "${grey[@]}"; do [ "$n" -gt 20 ] || fail "first start: a button without the hint: ${grey[*]}"; done
import -window root "$out/first.png"
mkdir -p "$out/files" && touch "$out/files/メモ.txt"
read -r cx cy < <(centre "${buttons[0]}")
/usr/bin/python3 "$here/xdnd_drop.py" "$cx" "$cy" "$out/files/メモ.txt"
for _ in $(seq 50); do
  ini Page1 BtnFP1 >/dev/null 2>&1 && break
  sleep 0.2
done
ini Page1 BtnFP1 >/dev/null || fail "the drop bound nothing"
D hover 0 0 >/dev/null
sleep 0.5
read -r -a grey < <(faces grey "${buttons[@]:1}") || fail "after the drop: no faces read"
expect "${grey[*]}" "0 0 0 0" "after one binding, grey hint pixels on buttons 2-5"
import -window root "$out/first-bound.png"
stop
grep -qi hint "$app/RavariVudovi.ini" && fail "the hint wrote to the file"
echo "screenshots: $out/names96.png $out/names96-tip.png $out/names96-drag.png $out/names96-moved.png" \
  "$out/names96-both.png" \
  "$out/names144.png $out/names144-tip.png $out/names144-both.png $out/first.png $out/first-bound.png"
