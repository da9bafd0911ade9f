#!/usr/bin/env bash
# End to end on the shipped launcher: a page of bound buttons written out with
# 「ページの書き出し…」 and read back with 「ページの読み込み…」, both through the system's
# file dialogs driven from another process. The page file holds the page's key lines as
# the settings file has them; the page read back is a new page whose section holds the
# same bytes, its tab last and selected. A file that is no page (a settings file, a
# program) is refused with a message and nothing written; a page with an absurd grid is
# built with the sane one.
# Usage: page_share.sh DIST_DIR DRIVER_EXE OUT_DIR
set -euo pipefail
dist=$1 driver=$2 out=$(realpath -m "$3")
source "$(dirname "$0")/common.sh"
rm -rf "$out" && mkdir -p "$out"
pid=
trap 'kill $pid 2>/dev/null || true' EXIT

winpath() { echo "Z:${1//\//\\}"; }
page_menu() {  # the page strip's menu, its Nth command (from 0)
  D context-menu "$caption" >/dev/null
  D menu-pick "$1" 10000 >/dev/null || fail "no page menu"
}
# The bytes of a section's lines after its header, up to the next header, as hex.
section_body() {  # file section
  /usr/bin/python3 - "$1" "$2" <<'PY'
import sys
data = open(sys.argv[1], "rb").read()
header = b"[" + sys.argv[2].encode() + b"]\r\n"
at = data.find(header)
if at < 0:
    sys.exit("no section " + sys.argv[2])
at += len(header)
end = data.find(b"\r\n[", at)
print(data[at:] if end < 0 else data[at:end + 2])
PY
}
wait_for_file() {  # path seconds
  for _ in $(seq $(($2 * 10))); do
    [ -s "$1" ] && return 0
    sleep 0.1
  done
  return 1
}

fresh app
mkdir -p "$app/tools"
for i in 1 2; do cp "$driver" "$app/tools/道具$i.exe"; done
tools=$(winpath "$app/tools")
# A page of three buttons, two bound, every key present (a save of the buttons writes
# nothing new), in Shift-JIS as the launcher writes it.
{
  printf '[General]\r\nPageNum=2\r\n[Page1]\r\nLive=1\r\nName=道具 箱\r\nYoko=3\r\nTate=1\r\nBtnW=64\r\nBtnH=64\r\n'
  printf 'FontName=ＭＳ Ｐゴシック\r\nFontColor=clRed\r\nFontSize=10\r\nShowType=0\r\n'
  for i in 1 2; do
    printf 'BtnFP%s=%s\r\nBtnName%s=道具%s\r\nBtnIP%s=%s\r\nWD%s=%s\r\n' \
      $i "$tools\\道具$i.exe" $i $i $i "$tools\\道具$i.exe" $i "$tools"
  done
  printf 'BtnFP3=\r\nBtnName3=\r\nBtnIP3=\r\nWD3=\r\n'
  printf '[Page2]\r\nLive=1\r\nName=二\r\n'
} | iconv -f UTF-8 -t CP932 >"$app/RavariVudovi.ini"
original=$(section_body "$app/RavariVudovi.ini" Page1)

(cd "$app" && exec "$run" RavariVudovi.exe) &
pid=$!
D wait-window "$caption" 30000 >/dev/null || fail "no main window"
expect "$(D tabs "$caption" | tr '\n' '|')" "*道具 箱| 二|" "tabs at start"

echo "== the page on display written out"
before=$(sha1sum <"$app/RavariVudovi.ini")
page_menu 6  # ページの書き出し…
D file-dialog "ページの書き出し" "$(winpath "$out/道具.ini")" 30000 || fail "no save dialog"
wait_for_file "$out/道具.ini" 20 || fail "no page file written"
D wait-gone "ページの書き出し" 10000 || fail "the save dialog stayed"
expect "$(head -c 8 "$out/道具.ini" | od -An -c | tr -s ' ')" " [ P a g e ] \r \n" "the page file's header"
expect "$(section_body "$out/道具.ini" Page)" "$original" "the page file's lines"
expect "$(sha1sum <"$app/RavariVudovi.ini")" "$before" "the settings file after the export"

echo "== the settings file itself is never a page's file"
page_menu 6
D file-dialog "ページの書き出し" "$(winpath "$app/RavariVudovi.ini")" 30000 || fail "no save dialog"
D message 20000 6 >/dev/null || fail "no question before the file is written over"  # Yes
D wait-gone "ページの書き出し" 10000 || fail "the save dialog stayed"
message=$(D message 20000) || fail "no message for the settings file"
expect "${message#*|}" "$(winpath "$app/RavariVudovi.ini") は設定ファイルです。ページは別のファイルに書き出してください" \
  "the message for the settings file"
expect "$(sha1sum <"$app/RavariVudovi.ini")" "$before" "the settings file after an export onto it"

echo "== read back as a new page"
page_menu 7  # ページの読み込み…
D file-dialog "ページの読み込み" "$(winpath "$out/道具.ini")" 30000 || fail "no open dialog"
for _ in $(seq 100); do [ "$(D tabs "$caption" | wc -l)" = 3 ] && break; sleep 0.1; done
expect "$(D tabs "$caption" | tr '\n' '|')" " 道具 箱| 二|*道具 箱|" "the new tab, last and selected"
expect "$(ini General PageNum)" "3" "PageNum"
expect "$(section_body "$app/RavariVudovi.ini" Page3)" "$original" "the new page's lines"
expect "$(D buttons "$caption" | sed -E 's/^[^ ]+ [^ ]+ ?//' | tr '\n' '|')" "道具1|道具2||" "the new page's buttons"

echo "== files that are no page"
before=$(sha1sum <"$app/RavariVudovi.ini")
cp "$app/RavariVudovi.ini" "$out/settings-copy.ini"
for file in "$out/settings-copy.ini" "$app/RavariVudovi.exe"; do
  page_menu 7
  D file-dialog "ページの読み込み" "$(winpath "$file")" 30000 || fail "no open dialog"
  D wait-gone "ページの読み込み" 10000 || fail "the open dialog stayed"
  message=$(D message 20000) || fail "no message for $file"
  expect "${message#*|}" \
    "$(winpath "$file") はページのファイルではありません。「ページの書き出し…」で書き出したファイルを選んでください" \
    "the message for $file"
  expect "$(sha1sum <"$app/RavariVudovi.ini")" "$before" "the settings file after $file"
  expect "$(D tabs "$caption" | wc -l)" "3" "tabs after $file"
done

echo "== a page with an absurd grid is built with the sane one"
printf '[Page]\r\nName=absurd\r\nYoko=abc\r\nTate=-7\r\nBtnW=0\r\nBtnH=3\r\n' >"$out/absurd.ini"
page_menu 7
D file-dialog "ページの読み込み" "$(winpath "$out/absurd.ini")" 30000 || fail "no open dialog"
for _ in $(seq 100); do [ "$(D tabs "$caption" | wc -l)" = 4 ] && break; sleep 0.1; done
expect "$(D tabs "$caption" | tail -1)" "*absurd" "the absurd page's tab"
# Five columns and one row of the new-page size, 8 pixels high: the least a button takes.
expect "$(D client "$caption")" "client 320x27" "the absurd page's window"
expect "$(ini Page4 Yoko)" "abc" "the page's own values stay as they came"

quit
/usr/bin/python3 "$here/ini_read.py" "$app/RavariVudovi.ini" --check || fail "the settings file is not whole"
echo "page share scenarios passed"
