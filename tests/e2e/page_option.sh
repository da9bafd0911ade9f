#!/usr/bin/env bash
# End to end on the shipped launcher: the page properties dialog opened from the page
# strip's real menu, its name and its column count changed with the keyboard from another
# process, OK by Enter; then the settings file, the tab's caption and the main window's
# client size. A screenshot of the dialog.
# Usage: page_option.sh DIST_DIR DRIVER_EXE OUT_DIR
set -euo pipefail
dist=$1 driver=$2 out=$(realpath -m "$3")
source "$(dirname "$0")/common.sh"
rm -rf "$out" && mkdir -p "$out"
dialog="ページのプロパティ"
key() { xdotool key --clearmodifiers "$@"; sleep 0.3; }
pid=
trap 'kill $pid 2>/dev/null || true' EXIT

fresh pageoption
(cd "$app" && exec "$run" RavariVudovi.exe) &
pid=$!
D wait-window "$caption" 30000 >/dev/null || fail "no main window"
expect "$(D client "$caption")" "client 320x83" "a new page of 5 x 1 buttons"

D context-menu "$caption" >/dev/null
D menu-pick 5 10000 >/dev/null || fail "no page menu"
D wait-window "$dialog" 20000 >/dev/null || fail "the dialog did not open"
sleep 0.5
expect "$(D client "$dialog")" "client 352x253" "the dialog's client area"
D controls "$dialog" >"$out/controls.txt"
for line in "Edit 48,12 296x20 NewPage" "Static 16,65 44x14 行数：" "Edit 64,62 40x20 1" "Static 124,65 56x14 個" \
            "Static 16,91 44x14 列数：" "Edit 64,88 40x20 5" "Static 124,91 56x14 個" \
            "Static 16,153 44x14 高さ：" "Edit 64,150 40x20 64" "Static 124,153 56x14 ピクセル" \
            "Static 16,179 44x14 幅：" "Edit 64,176 40x20 64" "Static 124,179 56x14 ピクセル" \
            "Static 212,148 124x14 ＭＳ Ｐゴシック" "Static 212,164 124x14 10" \
            "Button 168,220 84x25 OK" "Button 260,220 84x25 キャンセル"; do
  grep -qxF "$line" "$out/controls.txt" || fail "no [$line] in: $(cat "$out/controls.txt")"
done
expect "$(D focus)" "Edit NewPage" "the focus starts on the name"
key End
xdotool type --delay 60 "2"
key Tab Tab
expect "$(D focus)" "Edit 5" "two Tabs reach the columns"
key Up Up
expect "$(D focus)" "Edit 7" "the arrow keys step the columns"
import -window root "$out/page_option.png"
key Return
D wait-gone "$dialog" 10000 || fail "Enter did not press OK"
sleep 0.5
expect "$(ini Page1 Yoko)" "7" "the columns in the settings file"
expect "$(ini Page1 Name)" "NewPage2" "the name in the settings file"
expect "$(ini Page1 FontColor)" "clNavy" "the page keeps its colour"
expect "$(D tabs "$caption" | tr -d '\n')" "*NewPage2" "the tab's caption"
expect "$(D client "$caption")" "client 448x83" "the window fits 7 buttons of 64"
expect "$(D buttons "$caption" | wc -l)" "7" "seven buttons"

D tray right >/dev/null
D menu-pick 6 10000 >/dev/null || fail "no tray menu"
for _ in $(seq 200); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
wait "$pid" || fail "the launcher ended with an error"
echo "screenshot: $out/page_option.png"
echo "page option scenario passed"
