#!/usr/bin/env bash
# End to end: the shipped launcher on a display of 144 DPI (150 %), in a Wine prefix of its
# own whose LogPixels says so, against the same settings file at 96 DPI. The file keeps
# its sizes in pixels at 96 DPI; at 144 the main window's client area, the buttons, the
# glyph and the page properties dialog come out 1.5 times as large, the glyph drawn from
# the icon's own 48-pixel image. Screenshots of both, and of every dialog at both scales
# (button, page, settings with both tabs, version), each with its controls inside it.
# Usage: dpi.sh DIST_DIR DRIVER_EXE OUT_DIR
set -euo pipefail
dist=$1 driver=$2 out=$(realpath -m "$3")
source "$(dirname "$0")/common.sh"
rm -rf "$out" && mkdir -p "$out"
base_prefix=${VL_WINEPREFIX:-$here/../../build/win/wineprefix}
pid=
trap 'kill $pid 2>/dev/null || true' EXIT

# An icon whose images tell its sizes apart: 16 blue, 32 red, 48 green, each one colour
# edge to edge, so a screenshot shows which image a glyph was drawn from and how large.
/usr/bin/python3 - "$out/sizes.ico" <<'PY'
import struct, sys
images = [(16, (255, 0, 0)), (32, (0, 0, 255)), (48, (0, 255, 0))]  # BGR
blobs = []
for size, (b, g, r) in images:
    header = struct.pack('<IiiHHIIiiII', 40, size, 2 * size, 1, 32, 0, 0, 0, 0, 0, 0)
    pixels = bytes([b, g, r, 255]) * (size * size)
    mask = bytes(((size + 31) // 32 * 4) * size)
    blobs.append(header + pixels + mask)
offset = 6 + 16 * len(images)
out = struct.pack('<HHH', 0, 1, len(images))
for (size, _), blob in zip(images, blobs):
    out += struct.pack('<BBBBHHII', size, size, 0, 0, 1, 32, len(blob), offset)
    offset += len(blob)
open(sys.argv[1], 'wb').write(out + b''.join(blobs))
PY
icon=$(winepath -w "$out/sizes.ico" 2>/dev/null)

# One page of 3 x 1 buttons of 64 x 64 designed pixels: the first bound to the icon, the
# second a caption only (the file in the ANSI code page, as the launcher writes it).
setup() {
  fresh "$1"
  printf '%s\r\n' '[General]' 'PageNum=1' '[Page1]' 'Live=1' 'Name=DPI' 'Yoko=3' 'Tate=1' \
    'BtnW=64' 'BtnH=64' 'ShowType=0' 'FontSize=10' "BtnFP1=$icon" "BtnIP1=$icon" 'BtnName1=sizes' \
    'BtnName2=文字' | iconv -f UTF-8 -t CP932 >"$app/RavariVudovi.ini"
}

# The bounding box and count of the pixels of one colour in the main window: "WxH N", or
# "none".
measure() {
  local st xy wh
  st=$(D state "$caption")  # visible X,Y WxH
  xy=$(echo "$st" | cut -d' ' -f2)
  wh=$(echo "$st" | cut -d' ' -f3)
  import -window root -crop "${wh}+${xy%,*}+${xy#*,}" -depth 8 ppm:- | /usr/bin/python3 -c '
import sys
sys.path.insert(0, sys.argv[2])
from screen_find import read_ppm
w, h, px = read_ppm(sys.stdin.buffer.read())
want = bytes.fromhex(sys.argv[1])
xs, ys = [], []
for i in range(w * h):
    if px[3 * i:3 * i + 3] == want:
        xs.append(i % w); ys.append(i // w)
print("%dx%d %d" % (max(xs) - min(xs) + 1, max(ys) - min(ys) + 1, len(xs)) if xs else "none")
' "$1" "$here"
}

# run_at LABEL PERCENT GLYPH OTHER: the launcher started on the file above in the prefix
# of $VL_WINEPREFIX; checks the sizes PERCENT of the designed ones, a glyph all of colour
# GLYPH (hex RGB) and none of OTHER, and leaves a screenshot LABEL.png.
run_at() {
  local label=$1 scale=$2 glyph=$3 other=$4
  setup "$label"
  (cd "$app" && exec "$run" RavariVudovi.exe) &
  pid=$!
  D wait-window "$caption" 30000 >/dev/null || fail "$label: no main window"
  sleep 1
  expect "$(D dpi "$caption")" "dpi $((96 * scale / 100))" "$label: the window's DPI"
  # 192 x 83 at 96 DPI; 83 * 1.5 = 124.5, the tab row's 28.5 rounded up.
  local want
  want=$(/usr/bin/python3 -c "import sys; s=$scale; r=lambda v: int(v*s/100+0.5); print('client %dx%d' % (r(192), r(19)+r(64)))")
  expect "$(D client "$caption")" "$want" "$label: the client area"
  local side=$((64 * scale / 100))
  D buttons "$caption" >"$out/$label-buttons.txt"
  [ "$(grep -c " ${side}x${side} " "$out/$label-buttons.txt")" = 3 ] ||
    fail "$label: buttons not ${side}x${side}: $(cat "$out/$label-buttons.txt")"
  local g=$((32 * scale / 100))
  # Every pixel but the bottom-left one, the key colour of the glyph's transparency.
  expect "$(measure "$glyph")" "${g}x${g} $((g * g - 1))" "$label: the glyph, whole and from its own image"
  expect "$(measure "$other")" "none" "$label: no other image of the icon shown"
  import -window root "$out/$label.png"
}

# shoot LABEL NAME DIALOG: the dialog's own rectangle as NAME-LABEL.png, after checking
# that every control lies inside its client area.
shoot() {
  local label=$1 name=$2 dialog=$3 st wh xy client
  D wait-window "$dialog" 20000 >/dev/null || fail "$label: $name did not open"
  sleep 0.5
  client=$(D client "$dialog" | cut -d' ' -f2)
  D controls "$dialog" >"$out/$name-$label-controls.txt"
  # The tab strip's own scroll arrows, hidden while its tabs fit, wait left of the box.
  awk -v w="${client%x*}" -v h="${client#*x}" '{ split($2, p, ","); split($3, s, "x");
         if ($1 == "msctls_updown32" && p[1] < 0) next;
         if (p[1] < 0 || p[2] < 0 || p[1] + s[1] > w || p[2] + s[2] > h) { print; bad = 1 } }
       END { exit bad }' "$out/$name-$label-controls.txt" >"$out/outside.txt" ||
    fail "$label: controls outside $name: $(cat "$out/outside.txt")"
  st=$(D state "$dialog")
  xy=$(echo "$st" | cut -d' ' -f2)
  wh=$(echo "$st" | cut -d' ' -f3)
  import -window root -crop "${wh}+${xy%,*}+${xy#*,}" "$out/$name-$label.png"
}

# every_dialog LABEL: each dialog of the running launcher opened, shot and closed.
every_dialog() {
  local label=$1 at x y
  read -r at _ < <(D buttons "$caption" | sed -n 1p)
  x=$((${at%,*} + 8)) y=$((${at#*,} + 8))
  xdotool mousemove "$x" "$y" click 3
  D menu-pick 2 10000 >/dev/null || fail "$label: no button menu"
  shoot "$label" button "ボタンのプロパティ"
  xdotool key --clearmodifiers Escape
  D wait-gone "ボタンのプロパティ" 10000 || fail "$label: Esc did not close the button dialog"
  D context-menu "$caption" >/dev/null
  D menu-pick 5 10000 >/dev/null || fail "$label: no page menu"
  shoot "$label" page "ページのプロパティ"
  xdotool key --clearmodifiers Escape
  D wait-gone "ページのプロパティ" 10000 || fail "$label: Esc did not close the page dialog"
  D tray right >/dev/null
  D menu-pick 5 10000 >/dev/null || fail "$label: no tray menu"
  shoot "$label" setting-general "環境設定"
  xdotool key --clearmodifiers ctrl+Tab
  sleep 0.3
  shoot "$label" setting-call "環境設定"
  xdotool key --clearmodifiers Escape
  D wait-gone "環境設定" 10000 || fail "$label: Esc did not close the settings dialog"
  D tray right >/dev/null
  D menu-pick 3 10000 >/dev/null || fail "$label: no tray menu"
  shoot "$label" about "バージョン情報"
  xdotool key --clearmodifiers ctrl+Tab
  sleep 0.3
  shoot "$label" about-history "バージョン情報"
  xdotool key --clearmodifiers Return
  D wait-gone "バージョン情報" 10000 || fail "$label: Enter did not close the version box"
}

VL_WINEPREFIX=$base_prefix run_at dpi96 100 ff0000 00ff00
VL_WINEPREFIX=$base_prefix every_dialog dpi96
kill $pid 2>/dev/null; wait $pid 2>/dev/null || true

VL_WINEPREFIX=$(prefix_at_144_dpi)
export VL_WINEPREFIX
run_at dpi144 150 00ff00 ff0000

# The page properties dialog at 144 DPI: its designed 352 x 253 and its OK button at
# 168,220 84x25, each 1.5 times.
D context-menu "$caption" >/dev/null
D menu-pick 5 10000 >/dev/null || fail "no page menu"
dialog="ページのプロパティ"
D wait-window "$dialog" 20000 >/dev/null || fail "the dialog did not open"
sleep 0.5
expect "$(D client "$dialog")" "client 528x380" "the dialog's client area at 144 DPI"
D controls "$dialog" >"$out/dialog-controls.txt"
grep -qxF "Button 252,330 126x38 OK" "$out/dialog-controls.txt" ||
  fail "OK not at 252,330 126x38: $(cat "$out/dialog-controls.txt")"
# Every control inside the client area: a label measured at one scale and placed at
# another would stick out on the left.
awk '{ split($2, p, ","); split($3, s, "x");
       if (p[1] < 0 || p[2] < 0 || p[1] + s[1] > 528 || p[2] + s[2] > 380) { print; bad = 1 } }
     END { exit bad }' "$out/dialog-controls.txt" >"$out/outside.txt" ||
  fail "controls outside the dialog: $(cat "$out/outside.txt")"
import -window root "$out/dpi144-dialog.png"
xdotool key --clearmodifiers Escape
D wait-gone "$dialog" 10000 || fail "Esc did not close the page dialog"
every_dialog dpi144
echo "screenshots: $out/dpi96.png $out/dpi144.png $out/dpi144-dialog.png and each dialog: $(cd "$out" && ls ./*-dpi*.png | tr '\n' ' ')"
