#!/usr/bin/env bash
# End to end on the shipped launcher: the user's buttons survive a settings file held by
# another program while the launcher starts, and a drop made while the button properties
# dialog is open on that button.
# Usage: nothing_lost.sh DIST_DIR DRIVER_EXE HOLD_FILE_EXE CWD_WRITER_EXE OUT_DIR
set -euo pipefail
dist=$1 driver=$2 holder=$3 writer=$4 out=$(realpath -m "$5")
source "$(dirname "$0")/common.sh"
rm -rf "$out" && mkdir -p "$out"
winpath() { printf 'Z:%s' "$1" | tr / '\\'; }

pid= hold=
trap 'kill $pid $hold 2>/dev/null || true' EXIT

echo "== the settings file held by another program while the launcher starts"
fresh held
/usr/bin/python3 - "$app/RavariVudovi.ini" <<'PY'
import sys
text = ("[General]\r\nPageNum=2\r\nFormTop=130\r\nFormLeft=160\r\n"
        "[Page1]\r\nLive=1\r\nName=One\r\nYoko=3\r\nTate=1\r\nBtnW=64\r\nBtnH=64\r\n"
        "BtnFP1=C:\\windows\\notepad.exe\r\nBtnName1=notepad\r\nBtnIP1=C:\\windows\\notepad.exe\r\nWD1=C:\\windows\r\n"
        "[Page2]\r\nLive=1\r\nName=Two\r\nYoko=2\r\nTate=1\r\nBtnW=64\r\nBtnH=64\r\n")
open(sys.argv[1], "wb").write(text.encode("cp932"))
PY
"$run" "$holder" "$(winpath "$app/RavariVudovi.ini")" vl-e2e-held 8000 >"$out/holder.log" &
hold=$!
for _ in $(seq 100); do grep -q held "$out/holder.log" 2>/dev/null && break; sleep 0.1; done
grep -q held "$out/holder.log" || fail "the file could not be held"
(cd "$app" && exec "$run" RavariVudovi.exe) &
pid=$!
message=$(D message 40000) || fail "no word to the user about the file"
case "$message" in *を読めません*) ;; *) fail "the start's message: $message" ;; esac
D wait-window "$caption" 30000 >/dev/null || fail "no main window"
wait "$hold" || true
hold=
# Let go: within a second or two the launcher takes the file up as a start would.
for _ in $(seq 50); do
  [ "$(D tabs "$caption" | tr '\n' ' ')" = "*One  Two " ] && break
  sleep 0.2
done
expect "$(D tabs "$caption" | tr '\n' ' ')" "*One  Two " "the file's pages once it reads"
expect "$(D buttons "$caption" | head -n 1 | cut -d' ' -f3-)" "notepad" "the stored button"
quit
expect "$(ini Page1 BtnFP1)" 'C:\windows\notepad.exe' "the binding"
expect "$(ini General PageNum)" "2" "PageNum"
expect "$(ini General FormLeft)" "160" "FormLeft"
expect "$(ini General FormTop)" "130" "FormTop"
expect "$(ini Page2 Live)" "1" "page 2"

echo "== a drop on the button whose properties dialog is open, then OK"
fresh dialog
cp "$writer" "$app/opened.exe"
# In a corner, away from the dialog, which opens in the middle of the screen.
printf '[General]\r\nFormTop=20\r\nFormLeft=20\r\n' >"$app/RavariVudovi.ini"
(cd "$app" && exec "$run" RavariVudovi.exe) &
pid=$!
D wait-window "$caption" 30000 >/dev/null || fail "no main window"
read -r at _ < <(D buttons "$caption" | sed -n 3p)
x=$((${at%,*} + 32)) y=$((${at#*,} + 32))
xdotool mousemove "$x" "$y" click 3
D menu-pick 1 10000 >/dev/null || fail "no page menu on a right click"
D wait-window "ボタンのプロパティ" 10000 >/dev/null || fail "no button properties dialog"
/usr/bin/python3 "$here/xdnd_drop.py" "$x" "$y" "$app/opened.exe" || fail "the drop was refused"
for _ in $(seq 30); do [ -n "$(ini Page1 BtnFP3)" ] && break; sleep 0.2; done
D click "ボタンのプロパティ" OK >/dev/null || fail "no OK in the dialog"
D wait-gone "ボタンのプロパティ" 10000 >/dev/null || fail "the dialog stayed open"
sleep 0.5
expect "$(ini Page1 BtnFP3)" "$(winpath "$app/opened.exe")" "the drop's target in the file"
expect "$(ini Page1 BtnName3)" "opened" "the drop's name in the file"
expect "$(D buttons "$caption" | sed -n 3p | cut -d' ' -f3-)" "opened" "the button's caption"
D activate "$caption" >/dev/null
xdotool mousemove "$x" "$y" click 1
for _ in $(seq 100); do [ -f "$app/opened.exe.cwd" ] && break; sleep 0.1; done
[ -f "$app/opened.exe.cwd" ] || fail "a click on the button opened nothing"
quit
expect "$(ini Page1 BtnFP3)" "$(winpath "$app/opened.exe")" "the drop's target after the exit"
echo "nothing lost"
