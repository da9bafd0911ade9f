#!/usr/bin/env bash
# End to end on the shipped launcher: the user's buttons survive a settings file held by
# another program while the launcher starts, a drop made while the button properties
# dialog is open on that button, the file taken up while the delete question is up, a
# delete the file refused, a search whose hit is dragged onto another button, and another
# program's replacement of the file while the launcher runs.
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
D menu-pick 2 10000 >/dev/null || fail "no page menu on a right click"
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

bound_file() {  # Page 1 of three buttons, the first bound to notepad; $1: a line for [Setting]
  /usr/bin/python3 - "$app/RavariVudovi.ini" "$1" <<'PY'
import sys
setting = sys.argv[2] + "\r\n" if sys.argv[2] else ""
text = ("[General]\r\nPageNum=1\r\nFormTop=20\r\nFormLeft=20\r\n[Setting]\r\n" + setting +
        "[Page1]\r\nLive=1\r\nName=One\r\nYoko=3\r\nTate=1\r\nBtnW=64\r\nBtnH=64\r\n"
        "BtnFP1=C:\\windows\\notepad.exe\r\nBtnName1=notepad\r\n")
open(sys.argv[1], "wb").write(text.encode("cp932"))
PY
}
button_at() {  # N: the middle of button N of the page on display
  local at
  read -r at _ < <(D buttons "$caption" | sed -n "$1p")
  echo "$((${at%,*} + 32)) $((${at#*,} + 32))"
}
hold_for() {  # MS NAME: the settings file held by another program for MS milliseconds
  "$run" "$holder" "$(winpath "$app/RavariVudovi.ini")" "$2" "$1" >"$out/$2.log" &
  hold=$!
  for _ in $(seq 100); do grep -q held "$out/$2.log" 2>/dev/null && break; sleep 0.1; done
  grep -q held "$out/$2.log" || fail "the file could not be held"
}

echo "== the delete question up while the launcher takes up the file it could not read at start"
fresh question
bound_file ""
hold_for 12000 vl-e2e-question
(cd "$app" && exec "$run" RavariVudovi.exe) &
pid=$!
D message 40000 >/dev/null || fail "no word about the held file"
D wait-window "$caption" 30000 >/dev/null || fail "no main window"
read -r x y < <(button_at 1)
xdotool mousemove "$x" "$y" click 3
D menu-pick 1 10000 >/dev/null || fail "no page menu on a right click"
question=$(D message 10000 none) || fail "no delete question"
case "$question" in *削除してよろしいですか*) ;; *) fail "the question: $question" ;; esac
wait "$hold" || true
hold=
for _ in $(seq 50); do [ "$(D buttons "$caption" | head -n 1 | cut -d' ' -f3-)" = "notepad" ] && break; sleep 0.2; done
expect "$(D buttons "$caption" | head -n 1 | cut -d' ' -f3-)" "notepad" "the file taken up under the question"
D message 5000 >/dev/null || fail "the question went"  # answered はい
word=$(D message 10000) || fail "no word that nothing was deleted"
case "$word" in *削除しませんでした*) ;; *) fail "the answer's word: $word" ;; esac
expect "$(D buttons "$caption" | head -n 1 | cut -d' ' -f3-)" "notepad" "the real button after the answer"
quit
expect "$(ini Page1 BtnFP1)" 'C:\windows\notepad.exe' "the real button in the file"

echo "== a delete the file refused, then a drop once it is free"
fresh refused
cp "$writer" "$app/dropped.exe"
bound_file "AskBeforeDelBtn=0"
(cd "$app" && exec "$run" RavariVudovi.exe) &
pid=$!
D wait-window "$caption" 30000 >/dev/null || fail "no main window"
hold_for 4000 vl-e2e-refused
read -r x y < <(button_at 1)
xdotool mousemove "$x" "$y" click 3
D menu-pick 1 10000 >/dev/null || fail "no page menu on a right click"
refusal=$(D message 10000) || fail "no word of the refused write"
case "$refusal" in *に書き込めません*) ;; *) fail "the refusal: $refusal" ;; esac
expect "$(D buttons "$caption" | head -n 1 | cut -d' ' -f3-)" "notepad" "the button after the refusal"
wait "$hold" || true
hold=
read -r x y < <(button_at 3)
/usr/bin/python3 "$here/xdnd_drop.py" "$x" "$y" "$app/dropped.exe" || fail "the drop was refused"
for _ in $(seq 30); do [ -n "$(ini Page1 BtnFP3)" ] && break; sleep 0.2; done
quit
expect "$(ini Page1 BtnFP3)" "$(winpath "$app/dropped.exe")" "the drop"
expect "$(ini Page1 BtnFP1)" 'C:\windows\notepad.exe' "the button whose delete was refused"

echo "== a search's hit dragged onto another button, then Down and Enter"
fresh search
cp "$writer" "$app/first.exe"
cp "$writer" "$app/second.exe"
/usr/bin/python3 - "$app/RavariVudovi.ini" "$(winpath "$app")" <<'PY'
import sys
d = sys.argv[2]
text = ("[General]\r\nPageNum=1\r\nFormTop=20\r\nFormLeft=20\r\n"
        "[Page1]\r\nLive=1\r\nName=One\r\nYoko=3\r\nTate=1\r\nBtnW=64\r\nBtnH=64\r\nShowType=2\r\n"
        f"BtnFP1={d}\\first.exe\r\nBtnName1=first\r\nBtnFP2={d}\\second.exe\r\nBtnName2=second\r\n")
open(sys.argv[1], "wb").write(text.encode("cp932"))
PY
(cd "$app" && exec "$run" RavariVudovi.exe) &
pid=$!
D wait-window "$caption" 30000 >/dev/null || fail "no main window"
D activate "$caption" >/dev/null
D type "fi" || fail "typing"
sleep 0.5
expect "$(D controls "$caption" | sed -n 's/^Static [0-9,x ]* //p')" "検索: fi  1/1" "the search"
read -r x1 y1 < <(button_at 1)
read -r x2 y2 < <(button_at 2)
D drag-start "$x1" "$y1" >/dev/null
D drag-to "$x2" "$y2" >/dev/null
D drag-end >/dev/null
sleep 0.5
expect "$(D buttons "$caption" | sed -n 2p | cut -d' ' -f3-)" "first" "the swap"
xdotool key Down
sleep 0.3
xdotool key Return
for _ in $(seq 100); do [ -f "$app/first.exe.cwd" ] && break; sleep 0.1; done
[ -f "$app/first.exe.cwd" ] || fail "Enter on the hit did not open first"
[ -f "$app/second.exe.cwd" ] && fail "Enter opened second, which stands where the hit was"
quit

echo "== a page of bound buttons deleted, then Ctrl+Z"
fresh undo
/usr/bin/python3 - "$app/RavariVudovi.ini" <<'PY'
import sys
page = lambda n, name, buttons: (f"[Page{n}]\r\nLive=1\r\nName={name}\r\nYoko=2\r\nTate=1\r\nBtnW=64\r\nBtnH=64\r\n" +
                                 "".join(f"BtnFP{i}=C:\\windows\\{exe}.exe\r\nBtnName{i}={exe}\r\nWD{i}=C:\\windows\r\n"
                                         for i, exe in enumerate(buttons, 1)))
text = ("[General]\r\nPageNum=3\r\nFormTop=20\r\nFormLeft=20\r\n[Setting]\r\nAskBeforeDelPage=0\r\n" +
        page(1, "One", []) + page(2, "Two", ["notepad", "regedit"]) + page(3, "Three", []))
open(sys.argv[1], "wb").write(text.encode("cp932"))
PY
cp "$app/RavariVudovi.ini" "$out/undo-before.ini"
(cd "$app" && exec "$run" RavariVudovi.exe) &
pid=$!
D wait-window "$caption" 30000 >/dev/null || fail "no main window"
D select-tab "$caption" 1 >/dev/null
D context-menu "$caption" >/dev/null
D menu-pick 4 10000 >/dev/null || fail "no page menu"  # ページの削除
sleep 0.5
expect "$(D tabs "$caption" | tr '\n' ' ')" " One *Three " "the page deleted"
expect "$(ini Page2 Live)" "0" "the page no longer live"
D activate "$caption" >/dev/null
xdotool key ctrl+z
sleep 0.5
expect "$(D tabs "$caption" | tr '\n' ' ')" " One  Two *Three " "the tab back in its place"
cmp -s "$out/undo-before.ini" "$app/RavariVudovi.ini" || fail "the file is not back byte for byte: $(diff <(tr -d '\r' <"$out/undo-before.ini") <(tr -d '\r' <"$app/RavariVudovi.ini"))"
D select-tab "$caption" 1 >/dev/null
sleep 0.3
expect "$(D buttons "$caption" | sed -n 1p | cut -d' ' -f3-)" "notepad" "the page's buttons"
quit

echo "== another program replaces the file while the launcher runs (a sync tool)"
fresh sync
/usr/bin/python3 - "$app/RavariVudovi.ini" <<'PY'
import sys
text = ("[General]\r\nPageNum=1\r\nFormTop=20\r\nFormLeft=20\r\n"
        "[Page1]\r\nLive=1\r\nName=One\r\nYoko=3\r\nTate=1\r\nBtnW=64\r\nBtnH=64\r\n"
        "BtnFP3=C:\\windows\\notepad.exe\r\nBtnName3=three\r\nWD3=C:\\windows\r\n")
open(sys.argv[1], "wb").write(text.encode("cp932"))
PY
cp "$writer" "$app/mine.exe"
(cd "$app" && exec "$run" RavariVudovi.exe) &
pid=$!
D wait-window "$caption" 30000 >/dev/null || fail "no main window"
expect "$(D buttons "$caption" | sed -n 3p | cut -d' ' -f3-)" "three" "the stored button"
# Another PC renamed button 3 and added a page: its copy is written beside the file and
# renamed over it.
/usr/bin/python3 - "$app/RavariVudovi.ini" <<'PY'
import os, sys
path = sys.argv[1]
text = open(path, "rb").read().decode("cp932")
text = text.replace("BtnName3=three", "BtnName3=drei").replace("PageNum=1", "PageNum=2")
text += "[Page2]\r\nLive=1\r\nName=Shared\r\nYoko=2\r\nTate=1\r\nBtnW=64\r\nBtnH=64\r\n"
open(path + ".sync", "wb").write(text.encode("cp932"))
os.replace(path + ".sync", path)
PY
start=$(date +%s%N)
for _ in $(seq 40); do
  [ "$(D buttons "$caption" | sed -n 3p | cut -d' ' -f3-)" = "drei" ] &&
    [ "$(D tabs "$caption" | tr '\n' ' ')" = "*One  Shared " ] && break
  sleep 0.1
done
took=$((($(date +%s%N) - start) / 1000000))
echo "the other program's change shown after $took ms (the driver's own looks included)"
expect "$(D buttons "$caption" | sed -n 3p | cut -d' ' -f3-)" "drei" "button 3 as the other program left it"
expect "$(D tabs "$caption" | tr '\n' ' ')" "*One  Shared " "the other program's page"
[ "$took" -le 2000 ] || fail "the change took $took ms to show"
read -r at _ < <(D buttons "$caption" | sed -n 1p)
/usr/bin/python3 "$here/xdnd_drop.py" "$((${at%,*} + 32))" "$((${at#*,} + 32))" "$app/mine.exe" || fail "the drop was refused"
for _ in $(seq 30); do [ -n "$(ini Page1 BtnFP1)" ] && break; sleep 0.2; done
quit
expect "$(ini Page1 BtnName3)" "drei" "the other program's button after the exit"
expect "$(ini Page2 Name)" "Shared" "the other program's page after the exit"
expect "$(ini Page1 BtnFP1)" "$(winpath "$app/mine.exe")" "the user's drop after the exit"
expect "$(ini General PageNum)" "2" "PageNum"
echo "nothing lost"
