#!/usr/bin/env bash
# End to end on the shipped launcher: the system's dark mode set in the prefix
# (AppsUseLightTheme=0) makes a dark launcher whose captions read at 4.5:1 or better against
# their faces, the navy of the page drawn in the mode's light text, with its gone mark and
# the search's frames told apart from the faces; the value set to 1 and WM_SETTINGCHANGE
# broadcast from another process, the same launcher turns light at once, navy again.
# Then the settings dialog, with the keyboard: "ダーク" with the system light is dark at
# once and writes Theme=2; "ライト" with the system dark is light and writes Theme=1.
# Screenshots of each. High contrast cannot be switched under Wine (its
# SPI_SETHIGHCONTRAST changes nothing): tests/win/theme_test.cpp draws it.
# Usage: theme.sh DIST_DIR DRIVER_EXE OUT_DIR
set -euo pipefail
dist=$1 driver=$2 out=$(realpath -m "$3")
source "$(dirname "$0")/common.sh"
rm -rf "$out" && mkdir -p "$out"
dialog="環境設定"
personalize='HKCU\Software\Microsoft\Windows\CurrentVersion\Themes\Personalize'
apps_light() {
  "$run" reg add "$personalize" /v AppsUseLightTheme /t REG_DWORD /d "$1" /f >/dev/null 2>&1 || fail "reg add"
  D setting-change ImmersiveColorSet >/dev/null || fail "no WM_SETTINGCHANGE sent"
  sleep 1
}
key() { xdotool key --clearmodifiers "$@"; sleep 0.3; }
pid=
# The prefix is every scenario's: the value goes with this one.
trap 'kill $pid 2>/dev/null || true; "$run" reg delete "$personalize" /v AppsUseLightTheme /f >/dev/null 2>&1 || true' EXIT

shot() {  # NAME: a screenshot kept as NAME.png, and the PPM the readers read
  import -window root "$out/$1.png"
  convert "$out/$1.png" -depth 8 "ppm:$out/shot.ppm"
}
px() { /usr/bin/python3 "$here/theme_pixels.py" "$@" <"$out/shot.ppm"; }
ge() { awk -v a="$1" -v b="$2" 'BEGIN { exit !(a + 0 >= b + 0) }'; }
client_rect() {  # [CAPTION]: the window's client area on the screen, X,Y,W,H (the main window's)
  local s c
  s=$(D state "${1:-$caption}") && c=$(D client "${1:-$caption}") || fail "no window ${1:-$caption}"
  [[ $s =~ ([-0-9]+),([-0-9]+)\ ([0-9]+)x([0-9]+) ]] || fail "state: $s"
  local x=${BASH_REMATCH[1]} y=${BASH_REMATCH[2]} w=${BASH_REMATCH[3]} h=${BASH_REMATCH[4]}
  [[ $c =~ ([0-9]+)x([0-9]+) ]] || fail "client: $c"
  local cw=${BASH_REMATCH[1]} ch=${BASH_REMATCH[2]} edge=$(((w - ${BASH_REMATCH[1]}) / 2))
  echo "$((x + edge)),$((y + h - ch - edge)),$cw,$ch"
}
rects() { D buttons "$caption" | sed -E 's/^(-?[0-9]+),(-?[0-9]+) ([0-9]+)x([0-9]+).*/\1,\2,\3,\4/'; }
mean() { px mean "$(client_rect)"; }
# Each button's caption at 4.5:1 or better against its face; prints the inks.
readable() {  # LABEL BUTTON...
  local label=$1 inks=() f
  shift
  for f in $(px captions "$@"); do
    IFS=/ read -r face ink ratio <<<"$f"
    ge "$ratio" 4.5 || fail "$label: a caption of $ink on $face, $ratio:1"
    echo "$label: $ink on $face, $ratio:1" >&2
    inks+=("$ink")
  done
  echo "${inks[*]}"
}
# Dark or light enough: the mean luma of the client area against a bound.
dark() {
  local m
  m=$(mean)
  echo "$1: mean luma $m %"
  ! ge "$m" 25 || fail "$1: not dark, mean luma $m %"
}
light() {
  local m
  m=$(mean)
  echo "$1: mean luma $m %"
  ge "$m" 60 || fail "$1: not light, mean luma $m %"
}
navy() { [[ $1 =~ ^[0-3][0-9a-f][0-3][0-9a-f][6-9a-f][0-9a-f]$ ]]; }
# The page's navy, or the black every caption turns once the pointer has passed over them.
dark_ink() { navy "$1" || [[ $1 =~ ^[0-3][0-9a-f][0-3][0-9a-f][0-3][0-9a-f]$ ]]; }

fresh theme
np='C:\windows\notepad.exe'
printf '%s\r\n' '[General]' 'PageNum=1' '[Setting]' 'IsUseShake=0' 'IsUseHotKey=0' 'HideWhenClickBtn=0' \
  '[Page1]' 'Live=1' 'Name=道具' 'Yoko=4' 'Tate=1' 'BtnW=80' 'BtnH=48' 'ShowType=2' 'FontSize=9' 'FontColor=clNavy' \
  "BtnFP1=$np" 'BtnName1=メモ帳' 'BtnFP2=C:\windows' 'BtnName2=ウィンドウズ' \
  'BtnFP3=C:\nowhere\gone.exe' 'BtnName3=消えた' "BtnFP4=$np" 'BtnName4=メモ帳二' |
  iconv -f UTF-8 -t CP932 >"$app/RavariVudovi.ini"
before=$(cat "$app/RavariVudovi.ini")

echo "== the system dark at start"
"$run" reg add "$personalize" /v AppsUseLightTheme /t REG_DWORD /d 0 /f >/dev/null 2>&1 || fail "reg add"
(cd "$app" && exec "$run" RavariVudovi.exe) &
pid=$!
D wait-window "$caption" 30000 >/dev/null || fail "no main window"
sleep 1.5
D hover 0 0 >/dev/null
mapfile -t buttons < <(rects)
[ "${#buttons[@]}" = 4 ] || fail "expected 4 buttons, got ${#buttons[@]}"
D activate "$caption" >/dev/null
D type "メモ" >/dev/null
sleep 1
shot dark
dark "the system's dark mode"
read -r -a inks < <(readable dark "${buttons[@]}")  # the dimmed one's grey too
for ink in "${inks[@]}"; do ! navy "$ink" || fail "dark: a navy caption ($ink) on a dark face"; done
IFS=, read -r x y w h <<<"${buttons[0]}"
face=$(px pixel $((x + 8)) $((y + 8)))
mark=$(px pixel $((x + 1)) $((y + h / 2)))
ge "$(px contrast "$face" "$mark")" 3 || fail "dark: the search's frame ($mark) lost on the face ($face)"
IFS=, read -r x2 y2 w2 h2 <<<"${buttons[1]}"
[ "$(px pixel $((x2 + 1)) $((y2 + h2 / 2)))" != "$mark" ] || fail "dark: a button that is no hit is framed"
IFS=, read -r x3 y3 w3 _ <<<"${buttons[2]}"
gone=$(px pixel $((x3 + w3 - 9)) $((y3 + 5)))
echo "dark: face $face, search frame $mark, gone mark $gone"
ge "$(px contrast "$face" "$gone")" 3 || fail "dark: the gone mark ($gone) lost on the face ($face)"

echo "== the system turned light, told by WM_SETTINGCHANGE"
apps_light 1
D hover 0 0 >/dev/null
shot light
light "the system's light mode"
# The dimmed caption is the system's grey text, which no rule asks to read at 4.5:1.
read -r -a inks < <(readable light "${buttons[0]}" "${buttons[1]}" "${buttons[3]}")
for ink in "${inks[@]}"; do dark_ink "$ink" || fail "light: the page's dark ink not drawn ($ink)"; done
expect "$(cat "$app/RavariVudovi.ini")" "$before" "nothing written for the mode"

pick_theme() {  # KEYS...: the settings dialog's 表示 sheet, the list moved by KEYS, OK
  D tray right >/dev/null
  D menu-pick 5 10000 >/dev/null || fail "no tray menu"
  D wait-window "$dialog" 20000 >/dev/null || fail "the dialog did not open"
  local sheet
  for sheet in ${sheets:-}; do  # screenshots of the other sheets, as this mode draws them
    D select-tab "$dialog" "$sheet" >/dev/null
    sleep 0.3
    import -window root "$out/dialog-$mode-$sheet.png"
  done
  if [ -n "${sheets:-}" ]; then
    # Inside the group box マウス, where 一般設定 has the box of its fourth check box and
    # 呼び出し nothing: the sheet's colour, not what the other sheet left on the screen.
    shot "dialog-$mode-1"
    IFS=, read -r dx dy _ _ <<<"$(client_rect "$dialog")"
    expect "$(px pixel $((dx + 34)) $((dy + 124)))" "202020" "$mode: the inside of a group box after a turn of the sheet"
  fi
  D select-tab "$dialog" 2 >/dev/null
  expect "$(D tabs "$dialog" | tr '\n' '|')" " 一般設定| 呼び出し|*表示|" "the three tabs, 表示 selected"
  for _ in $(seq 8); do
    [[ $(D focus) == ComboBox* ]] && break
    key Tab
  done
  [[ $(D focus) == ComboBox* ]] || fail "Tab never reached the list; the focus is on [$(D focus)]"
  for k in "$@"; do key "$k"; done
}

echo "== ダーク chosen with the system light"
pick_theme End
expect "$(D focus)" "ComboBox ダーク" "the list shows ダーク"
import -window root "$out/dialog-light.png"
key Return
D wait-gone "$dialog" 5000 >/dev/null || fail "OK did not close the dialog"
sleep 0.5
expect "$(ini Setting Theme)" "2" "ダーク is written"
shot chosen-dark
dark "ダーク with the system light"
readable chosen-dark "${buttons[@]}" >/dev/null

echo "== ライト chosen with the system dark"
apps_light 0
shot still-dark
dark "ダーク stays while the system is dark"
sheets="0 1" mode=dark pick_theme Home Down
expect "$(D focus)" "ComboBox ライト" "the list shows ライト"
import -window root "$out/dialog-dark.png"
key Return
D wait-gone "$dialog" 5000 >/dev/null || fail "OK did not close the dialog"
sleep 0.5
expect "$(ini Setting Theme)" "1" "ライト is written"
shot chosen-light
light "ライト with the system dark"
readable chosen-light "${buttons[0]}" "${buttons[1]}" "${buttons[3]}" >/dev/null
quit
echo "screenshots: $out/dark.png $out/light.png $out/dialog-light.png $out/chosen-dark.png" \
  "$out/dialog-dark.png $out/chosen-light.png"
