#!/usr/bin/env bash
# End to end on the shipped launcher: 8 pages of 40 x 40 buttons shown one after another
# by clicks on their tabs, every window of the process counted after each (the launcher
# keeps at most 5,000 where Windows allows a process 10,000); the settings file byte for
# byte the same after pages were released for room and shown again, and a released page
# shown again with its bound buttons.
# Usage: window_budget.sh DIST_DIR DRIVER_EXE OUT_DIR
set -euo pipefail
dist=$1 driver=$2 out=$(realpath -m "$3")
source "$(dirname "$0")/common.sh"
rm -rf "$out" && mkdir -p "$out"
pid=
trap 'kill $pid 2>/dev/null || true' EXIT

fresh budget
# Every key of every button present, as a launcher that has saved them writes them: the
# start, the showing and the releasing of pages have nothing to add.
/usr/bin/python3 - "$app/RavariVudovi.ini" <<'PY'
import sys
lines = ["[General]", "PageNum=8", "FormTop=0", "FormLeft=0"]
for p in range(1, 9):
    lines += [f"[Page{p}]", "Live=1", f"Name=P{p}", "Yoko=40", "Tate=40", "BtnW=16", "BtnH=16",
              "ShowType=2", "FontName=ＭＳ Ｐゴシック", "FontSize=8", "FontColor=clNavy"]
    for b in range(1, 1601):
        bound = b in (1, 1600)
        lines += [f"BtnFP{b}=" + ("C:\\windows\\notepad.exe" if bound else ""),
                  f"BtnName{b}=" + (f"p{p}b{b}" if bound else ""),
                  f"BtnIP{b}=", f"WD{b}=" + ("C:\\windows" if bound else "")]
open(sys.argv[1], "wb").write(("\r\n".join(lines) + "\r\n").encode("cp932"))
PY
cp "$app/RavariVudovi.ini" "$out/before.ini"

(cd "$app" && exec "$run" RavariVudovi.exe) &
pid=$!
D wait-window "$caption" 60000 >/dev/null || fail "no main window"
windows() { D windows "$caption" | sed 's/^windows //'; }
most=0 counts=
for tab in 0 1 2 3 4 5 6 7 0 1; do
  # The driver's click waits for the launcher to have handled it: the page is built.
  D select-tab "$caption" "$tab" >/dev/null || fail "no tab $tab"
  n=$(windows)
  counts="$counts $n"
  [ "$n" -gt "$most" ] && most=$n
done
echo "windows after each tab shown:$counts (the most: $most)"
[ "$most" -le 5000 ] || fail "the launcher held $most windows, more than 5000"
[ "$most" -gt 3200 ] || fail "only $most windows counted: two pages of 1600 buttons were held"
expect "$(D tabs "$caption" | grep '^\*')" "*P2" "the tab shown last"
D buttons "$caption" >"$out/buttons.txt" || fail "the driver could not list the buttons of page 2"
expect "$(wc -l <"$out/buttons.txt")" "1600" "the buttons of page 2, released and shown again"
grep -q " p2b1$" "$out/buttons.txt" || fail "page 2's first button lost its name: $(head -1 "$out/buttons.txt")"
grep -q " p2b1600$" "$out/buttons.txt" || fail "page 2's last button lost its name"
cmp "$out/before.ini" "$app/RavariVudovi.ini" || fail "showing and releasing pages wrote the settings file"

D tray right >/dev/null || fail "the driver could not right-click the tray icon"
D menu-pick 6 10000 >/dev/null || fail "no tray menu"
for _ in $(seq 300); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
wait "$pid" || fail "the launcher ended with an error"
cmp "$out/before.ini" "$app/RavariVudovi.ini" || fail "the exit wrote what the file held already"
echo "window budget scenario passed"
