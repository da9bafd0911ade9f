#!/usr/bin/env bash
# End to end on the shipped launcher: buttons moved by dragging them with the mouse, the
# input sent by another process. A drag from button 1 to button 3 moves it in the file and
# on the faces and opens nothing; a drag onto another page's tab moves it there; Esc in a
# drag changes nothing and leaves the launcher up; the pointer says what a release would do.
# Usage: move.sh DIST_DIR DRIVER_EXE SEND_KEYS_EXE CWD_WRITER_EXE OUT_DIR
set -euo pipefail
dist=$1 driver=$2 keys=$3 writer=$4 out=$(realpath -m "$5")
source "$(dirname "$0")/common.sh"
rm -rf "$out" && mkdir -p "$out"
winpath() { printf 'Z:%s' "$1" | tr / '\\'; }
center() {  # of the Nth visible button of the selected page
  read -r at size _ < <(D buttons "$caption" | sed -n "$1p")
  echo "$((${at%,*} + ${size%x*} / 2)) $((${at#*,} + ${size#*x} / 2))"
}
pointer() { /usr/bin/python3 "$here/cursor_shot.py" "$out/pointer-$1.png" | cut -d' ' -f3; }
captions() { D buttons "$caption" | cut -d' ' -f3- | tr '\n' '|'; }

pid=
trap 'kill $pid 2>/dev/null || true' EXIT

fresh move
cp "$writer" "$app/opened.exe"
opened=$(winpath "$app/opened.exe")
/usr/bin/python3 - "$app/RavariVudovi.ini" "$opened" <<'PY'
import sys
path = sys.argv[2]
text = ("[General]\r\nPageNum=2\r\nFormTop=100\r\nFormLeft=100\r\n"
        "[Page1]\r\nLive=1\r\nName=One\r\nYoko=4\r\nTate=1\r\nBtnW=64\r\nBtnH=64\r\n"
        "BtnFP1=%s\r\nBtnName1=opened\r\nBtnIP1=%s\r\nWD1=C:\\\r\n"
        "BtnFP2=C:\\windows\\notepad.exe\r\nBtnName2=notepad\r\nBtnIP2=C:\\windows\\notepad.exe\r\n"
        "[Page2]\r\nLive=1\r\nName=Two\r\nYoko=3\r\nTate=1\r\nBtnW=64\r\nBtnH=64\r\n"
        "BtnFP1=C:\\windows\\regedit.exe\r\nBtnName1=regedit\r\n") % (path, path)
open(sys.argv[1], "wb").write(text.encode("cp932"))
PY
(cd "$app" && exec "$run" RavariVudovi.exe) &
pid=$!
D wait-window "$caption" 30000 >/dev/null || fail "no main window"
D activate "$caption" >/dev/null || true
sleep 0.5
expect "$(captions)" "opened|notepad|||" "the faces before"

echo "== button 1 dragged onto button 3"
read -r x1 y1 < <(center 1)
read -r x3 y3 < <(center 3)
read -r tx ty < <(D tab-center "$caption" 0)
D drag-start "$x1" "$y1"
D drag-to "$x3" "$y3"
over_button=$(pointer over-button)
D drag-to "$tx" "$ty"
over_own_tab=$(pointer over-own-tab)
import -window root "$out/dragging.png" 2>/dev/null || true
D drag-to "$x3" "$y3"
D drag-end
sleep 0.5
at_rest=$(pointer at-rest)
expect "$(ini Page1 BtnFP3)" "$opened" "button 3 in the file"
expect "$(ini Page1 BtnFP1)" "" "button 1 in the file"
expect "$(ini Page1 WD3)" 'C:\' "button 3's folder went with it"
expect "$(captions)" "|notepad|opened||" "the faces after the move"
[ "$over_button" != "$over_own_tab" ] || fail "the pointer is the same over a button that would take it and over the own tab"
[ "$over_button" != "$at_rest" ] && [ "$over_own_tab" != "$at_rest" ] || fail "the pointer in the drag is the pointer at rest"
expect "$(state)" "visible" "the launcher after a drag"

echo "== button 3 dragged onto the tab of page 2, never shown"
read -r t2x t2y < <(D tab-center "$caption" 1)
D drag-start "$x3" "$y3"
D drag-to "$t2x" "$t2y"
expect "$(pointer over-tab)" "$over_button" "the pointer over another page's tab"
D drag-end
sleep 0.5
expect "$(ini Page2 BtnFP2)" "$opened" "the first free button of page 2"
expect "$(ini Page2 BtnFP1)" 'C:\windows\regedit.exe' "page 2's own button"
expect "$(ini Page1 BtnFP3)" "" "it left page 1"
expect "$(captions)" "|notepad|||" "page 1's faces"
D select-tab "$caption" 1 >/dev/null
sleep 0.5
expect "$(captions)" "regedit|opened||" "page 2's faces"

echo "== Esc in a drag: nothing moves, the launcher stays"
read -r x2 y2 < <(center 2)
read -r x3 y3 < <(center 3)
before=$(sha1sum <"$app/RavariVudovi.ini")
D drag-start "$x2" "$y2"
D drag-to "$x3" "$y3"
press 1B
expect "$(pointer after-esc)" "$at_rest" "the pointer after Esc"
D drag-end
sleep 0.5
expect "$(sha1sum <"$app/RavariVudovi.ini")" "$before" "the file after Esc"
expect "$(captions)" "regedit|opened||" "page 2's faces after Esc"
expect "$(state)" "visible" "the launcher after Esc in a drag"

sleep 1
[ ! -e "$app/opened.exe.cwd" ] || fail "a drag opened the button's target"
echo "== a click without a drag still opens it"
xdotool mousemove "$x2" "$y2" click 1
for _ in $(seq 100); do [ -f "$app/opened.exe.cwd" ] && break; sleep 0.1; done
[ -f "$app/opened.exe.cwd" ] || fail "a click on the moved button opened nothing"
quit
expect "$(ini Page2 BtnFP2)" "$opened" "the moved button after the exit"
expect "$(ini Page1 BtnFP1)" "" "nothing left behind after the exit"
echo "moves passed"
