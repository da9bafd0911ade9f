#!/usr/bin/env bash
# End to end: the launcher worked from the keyboard alone, keys and text sent by another
# process: Windows+Space, the arrows and Enter open the right button; the last one used
# has the focus when the launcher comes back; Ctrl+Tab turns the page; typing part of a
# name (in hiragana for a katakana name, in full-width letters for a small-letter one, or
# the target's file name) finds it on a page not built yet, marks every hit and Enter
# opens it; the keys M, E, M, O find メモ帳 by its kana and Enter opens it; Esc clears the
# search before it hides; Delete (answered No, then Yes on a hit),
# Shift+F10 and Tab; what a screen reader hears from the search line with its count, from
# an icon-only and an empty button, and its default action opening one. A screenshot of a
# search.
# Usage: keyboard.sh DIST_DIR DRIVER_EXE SEND_KEYS_EXE CWD_WRITER_EXE OUT_DIR
set -euo pipefail
dist=$1 driver=$2 keys=$3 helper=$4 out=$(realpath -m "$5")
source "$(dirname "$0")/common.sh"
rm -rf "$out" && mkdir -p "$out"
pid=
trap 'kill $pid 2>/dev/null || true' EXIT
press_pause=0.3

fresh app
mkdir -p "$app/tools"
for name in alpha bravo charlie delta echo note jotter hanmemo calc; do cp "$helper" "$app/tools/$name.exe"; done
tools="Z:${app//\//\\}\\tools"
/usr/bin/python3 - "$app/RavariVudovi.ini" "$tools" <<'PY'
import sys
path, tools = sys.argv[1], sys.argv[2]
def page(n, name, yoko, tate, show, buttons):
    lines = [f"[Page{n}]", "Live=1", f"Name={name}", f"Yoko={yoko}", f"Tate={tate}", "BtnW=64", "BtnH=40",
             f"ShowType={show}"]
    for i, (label, exe) in enumerate(buttons, 1):
        target = f"{tools}\\{exe}.exe" if exe else ""
        lines += [f"BtnFP{i}={target}", f"BtnName{i}={label}", f"BtnIP{i}={target}", f"WD{i}={tools if exe else ''}"]
    return lines
lines = ["[General]", "PageNum=3"]
lines += page(1, "一", 3, 2, 2, [("alpha", "alpha"), ("bravo", "bravo"), ("charlie", "charlie"),
                                 ("delta", "delta"), ("echo", "echo"), ("", "")])
lines += page(2, "二", 3, 1, 2, [("ノート", "note"), ("メモ帳", "jotter"), ("ﾒﾓ書き", "hanmemo")])
lines += page(3, "三", 2, 1, 1, [("電卓", "calc"), ("", "")])
open(path, "wb").write(("\r\n".join(lines) + "\r\n").encode("cp932"))
PY
launched() {  # NAME: the helper of that name has run
  for _ in $(seq 50); do [ -f "$app/tools/$1.exe.cwd" ] && return 0; sleep 0.1; done
  return 1
}
focus() { D focus | sed 's/ *$//'; }
search_line() { D controls "$caption" | sed -n 's/^Static [0-9,x ]* //p'; }
# The search line sits right below the page strip and as wide as it, whatever the size of
# the page shown.
line_below_strip() {
  D controls "$caption" | awk '$1 == "SysTabControl32" { split($2, p, ","); split($3, s, "x"); bottom = p[2] + s[2] }
                               $1 == "Static" { split($2, q, ","); split($3, t, "x"); top = q[2] }
                               END { exit !(bottom > 0 && top == bottom && q[1] == p[1] && t[1] == s[1]) }'
}

(cd "$app" && exec "$run" RavariVudovi.exe) &
pid=$!
D wait-window "$caption" 30000 >/dev/null || fail "no main window"

echo "== Windows+Space, arrows and Enter open the button they reach"
press 1B
press 5B+20
expect "$(state)" "visible" "after Windows+Space"
expect "$(focus)" "TBitBtn alpha" "the focus with no button used yet"
press 27
press 28
expect "$(focus)" "TBitBtn echo" "Right, then Down"
press 25
expect "$(focus)" "TBitBtn delta" "Left"
press 26
expect "$(focus)" "TBitBtn alpha" "Up"
press 27
press 28
press 0D
launched echo || fail "Enter did not open echo"
[ ! -f "$app/tools/bravo.exe.cwd" ] || fail "a button the focus passed was opened"
expect "$(state)" "hidden" "opened with HideWhenClickBtn on"

echo "== called up again, the last used button has the focus; Home, End, Ctrl+Tab"
press 5B+20
expect "$(focus)" "TBitBtn echo" "the last used button"
press 23
expect "$(focus)" "TBitBtn" "End: the last button, an empty one"
press 24
expect "$(focus)" "TBitBtn alpha" "Home"
press 20
launched alpha || fail "Space did not open alpha"
expect "$(state)" "hidden" "opened by Space"
press 5B+20
expect "$(focus)" "TBitBtn alpha" "the button Space opened"
press 11+09
expect "$(D tabs "$caption" | tr '\n' ' ')" " 一 *二  三 " "Ctrl+Tab"
expect "$(focus)" "TBitBtn ノート" "the focus in the grid of the page turned to"
press 11+10+09
expect "$(D tabs "$caption" | tr '\n' ' ')" "*一  二  三 " "Ctrl+Shift+Tab"

echo "== typing finds on a page not shown yet and marks every hit; Esc clears first"
press 11+22
press 11+22
expect "$(D tabs "$caption" | tr '\n' ' ')" " 一  二 *三 " "Ctrl+PageDown twice"
press 11+21
press 11+21
expect "$(D tabs "$caption" | tr '\n' ' ')" "*一  二  三 " "Ctrl+PageUp twice"
D type "めも" || fail "typing"
sleep 0.5
expect "$(D tabs "$caption" | tr '\n' ' ')" " 一 *二  三 " "the page of the first hit"
expect "$(focus)" "TBitBtn メモ帳" "hiragana finds katakana"
expect "$(search_line)" "検索: めも  1/2" "the search line"
# Asked from this other process as a screen reader asks, in English for the role's words.
IFS='|' read -r name role < <(VL_LANG=C D accessible-window "$caption" Static) || fail "no accessible search line"
expect "$name" "検索: めも  1/2" "what a screen reader hears of the search line"
expect "$role" "status bar" "the search line's role"
line_below_strip || fail "the search line is not right below the page: $(D controls "$caption")"
import -window root "$out/search.png" 2>/dev/null || true
press 28
expect "$(focus)" "TBitBtn ﾒﾓ書き" "Down: the next hit, in half-width katakana"
press 26
expect "$(focus)" "TBitBtn メモ帳" "Up: the previous hit"
press 08
expect "$(search_line)" "検索: め  1/2" "Backspace"
D type "x"
sleep 0.3
expect "$(search_line)" "検索: めx  見つかりません" "a text nothing holds"
expect "$(D accessible-window "$caption" Static | cut -d'|' -f1)" "検索: めx  見つかりません" \
  "what a screen reader hears when nothing is found"
read -r _ size < <(D client "$caption")
line_h=$(D controls "$caption" | awk '$1 == "Static" { split($3, t, "x"); print t[2] }')
press 0D
[ ! -f "$app/tools/jotter.exe.cwd" ] || fail "Enter with no hit opened the focused button"
press 08
press 08
D center "$caption" Static >/dev/null && fail "the search line stays when its last character is taken back"
expect "$(D client "$caption")" "client ${size%x*}x$((${size#*x} - line_h))" "the window shrinks by the line when the search is taken back"
D type "め"
sleep 0.3
press 1B
expect "$(state)" "visible" "the first Esc clears the search"
D center "$caption" Static >/dev/null && fail "the search line stays after Esc"
press 1B
expect "$(state)" "hidden" "the second Esc hides"
press 5B+20
D type "めも"
sleep 0.3
press 0D
launched jotter || fail "Enter on the hit did not open it"
expect "$(state)" "hidden" "after opening the hit"

echo "== full-width capitals, and a target's file name"
press 5B+20
D type "ＣＨＡ" || fail "typing"
sleep 0.3
expect "$(focus)" "TBitBtn charlie" "full-width capitals find small letters"
press 1B
D type "hanmemo" || fail "typing"
sleep 0.3
expect "$(focus)" "TBitBtn ﾒﾓ書き" "the target's file name"
line_below_strip || fail "the search line did not follow to the lower page: $(D controls "$caption")"
press 1B

echo "== romaji typed as plain keys, from another page"
rm -f "$app/tools/jotter.exe.cwd"
press 11+22
expect "$(D tabs "$caption" | tr '\n' ' ')" " 一  二 *三 " "Ctrl+PageDown to the third page"
# M, E, M, O as the keyboard sends them, with the input method off: no name or file name
# holds "memo" but that of ﾒﾓ書き's target; メモ帳 is found by its kana.
for key in 4D 45 4D 4F; do press $key; done
expect "$(D tabs "$caption" | tr '\n' ' ')" " 一 *二  三 " "the page of the first hit"
expect "$(focus)" "TBitBtn メモ帳" "memo finds メモ帳"
expect "$(search_line)" "検索: memo  1/2" "the search line of a romaji search"
import -window root "$out/romaji.png" 2>/dev/null || true
expect "$(D accessible-window "$caption" Static | cut -d'|' -f1)" "検索: memo  1/2" \
  "what a screen reader hears of a romaji search"
press 0D
launched jotter || fail "Enter did not open the hit of a romaji search"
expect "$(state)" "hidden" "after opening the hit of a romaji search"
press 5B+20

echo "== a screen reader on the icon-only page; Delete, Shift+F10 and Tab"
press 11+22
expect "$(D tabs "$caption" | tr '\n' ' ')" " 一  二 *三 " "the icon-only page"
expect "$(D buttons "$caption" | head -n 1 | cut -d' ' -f3-)" "" "an icon-only button shows no caption"
# The reader in English, so that the platform words the role as "push button".
IFS='|' read -r name role action < <(VL_LANG=C D accessible "$caption" 1) || fail "no accessible object"
expect "$name" "電卓" "the accessible name of an icon-only button"
expect "$role" "push button" "its role"
expect "$action" "押す" "its default action"
expect "$(D accessible "$caption" 2 | cut -d'|' -f1)" "空きボタン" "the accessible name of an empty button"
press 2E
expect "$(D message 20000 7)" "確認|ボタン「電卓」を削除してよろしいですか？" "Delete asks about the focused button"
sleep 0.3
expect "$(ini Page3 BtnName1)" "電卓" "answered No"
press 10+79
for _ in $(seq 30); do [ "$(D menu-open)" = open ] && break; sleep 0.1; done
expect "$(D menu-open)" "open" "Shift+F10 opens the button's menu"
press 1B
expect "$(D menu-open)" "closed" "Esc closes the menu"
expect "$(state)" "visible" "and leaves the launcher"
press 09
expect "$(focus)" "SysTabControl32" "Tab: to the page strip"
press 5B+20
expect "$(D focus | cut -d' ' -f1)" "TBitBtn" "called up while in front, the grid has the keyboard"
press 09
expect "$(focus)" "SysTabControl32" "Tab: to the page strip again"
press 09
expect "$(D focus | cut -d' ' -f1)" "TBitBtn" "Tab: back to the grid"
D accessible "$caption" 1 press || fail "the default action was refused"
launched calc || fail "the screen reader's default action did not open the icon-only button"
expect "$(state)" "hidden" "opened by the default action"

echo "== Delete answered Yes, on the hit of a search"
press 5B+20
D type "bravo"
sleep 0.3
expect "$(focus)" "TBitBtn bravo" "the hit"
press 2E
expect "$(D message 20000 6)" "確認|ボタン「bravo」を削除してよろしいですか？" "Delete on the hit"
sleep 0.3
expect "$(ini Page1 BtnName2)" "" "the focused button deleted"
expect "$(ini Page1 BtnName1)|$(ini Page1 BtnName3)" "alpha|charlie" "its neighbours kept"
D center "$caption" Static >/dev/null && fail "the search line stays after the deletion"
quit
echo "keyboard scenarios passed"
