#!/usr/bin/env bash
# Broken settings files, each started on the shipped launcher under Wine and ended by
# "終了": every one must open a usable page (the file's own or a first-start page), show
# at most one clear box where the file refuses a write, and keep every line the launcher
# does not own. Prints a table of what each file did.
# Usage: settings_corpus.sh DIST_DIR DRIVER_EXE OUT_DIR
set -euo pipefail
dist=$1 driver=$2 out=$(realpath -m "$3")
source "$(dirname "$0")/common.sh"
corpus() { /usr/bin/python3 "$here/settings_corpus.py" "$@"; }
rm -rf "$out" && mkdir -p "$out"
pid= watcher=
trap 'kill $pid $watcher 2>/dev/null || true; chmod -R u+w "$out" 2>/dev/null || true' EXIT

# Answers each box that shows within $1 ms of the last with its first button; prints
# them "caption|text", one a line.
boxes() { while m=$(D message "$1" 2>/dev/null); do echo "$m"; done; }

start() {  # sets pid, secs (to the window shown) and start_boxes
  local t0 m
  t0=$(date +%s%N)
  (cd "$app" && exec "$run" RavariVudovi.exe) &
  pid=$!
  start_boxes=
  for _ in $(seq 60); do
    D wait-window "$caption" 500 >/dev/null 2>&1 && break
    if m=$(D message 300 2>/dev/null); then start_boxes+="$m"$'\n'; fi
    kill -0 "$pid" 2>/dev/null || fail "$name: the launcher ended at start (${start_boxes:-no box})"
  done
  D wait-window "$caption" 100 >/dev/null 2>&1 || fail "$name: no main window"
  secs=$(((($(date +%s%N) - t0) / 100000000)))
  secs="$((secs / 10)).$((secs % 10))"
  start_boxes+=$(boxes 1000)
}
quit() {  # "終了"; sets exit_boxes to the boxes shown until the launcher ended
  local m
  D tray right >/dev/null
  D menu-pick 6 10000 >/dev/null || fail "$name: no tray menu"
  exit_boxes=
  for _ in $(seq 60); do
    kill -0 "$pid" 2>/dev/null || break
    if m=$(D message 300 2>/dev/null); then exit_boxes+="$m"$'\n'; fi
  done
  kill -0 "$pid" 2>/dev/null && fail "$name: the launcher did not end after 終了"
  wait "$pid" || fail "$name: the launcher ended with an error"
}
page() {  # what the page shows: tabs, and the selected page's button count
  tabs=$(D tabs "$caption" | tr '\n' ' ' | sed 's/ *$//')
  count=$(D buttons "$caption" | wc -l)
}
one_line() { printf '%s' "$1" | sed '/^$/d' | paste -sd '/' | sed 's/^$/none/'; }
row() {  # the case's line in the table
  local kept=yes
  corpus kept "$out/$name.before" "$app/RavariVudovi.ini" >"$out/$name.lost" || kept=no
  printf '%-13s| %5ss | %-24s| %4s | start: %s | drop: %s | exit: %s | lines kept: %s\n' \
    "$name" "$secs" "$tabs" "$count" "$(one_line "$start_boxes")" "${drop_boxes:--}" \
    "$(one_line "$exit_boxes")" "$kept" >>"$out/table.txt"
  [ "$kept" = yes ] || fail "$name: lines lost: $(cat "$out/$name.lost")"
}
begin() {  # NAME: a fresh copy of the program with the case's settings file
  name=$1 drop_boxes=
  fresh "$name"
  corpus make "$name" "$app/RavariVudovi.ini"
  cp "$app/RavariVudovi.ini" "$out/$name.before"
  echo "== $name"
}
no_boxes() { [ -z "$start_boxes$exit_boxes" ] || fail "$name: boxes: $start_boxes $exit_boxes"; }
drop_on_first() {  # FILE: dropped on the selected page's first button, as a file manager does
  local at
  read -r at _ < <(D buttons "$caption" | sed -n 1p)
  touch "$1"
  /usr/bin/python3 "$here/xdnd_drop.py" $((${at%,*} + 8)) $((${at#*,} + 8)) "$1" || fail "$name: the drop was refused"
}

# Files that hold nothing the launcher can read: a first-start page, and on the next start
# the same page found again (the section it added must not have run into the old bytes).
for name in empty binary long_line utf16_no_bom; do
  begin "$name"
  start
  page
  expect "$tabs" "*NewPage" "$name: tabs"
  expect "$count" "5" "$name: buttons"
  quit
  no_boxes
  row
  [ "$name" = empty ] && continue
  start
  page
  expect "$tabs" "*NewPage" "$name: tabs at the second start"
  quit
  no_boxes
  expect "$(corpus get "$app/RavariVudovi.ini" General PageNum)" "1" "$name: the page count after two starts"
  [ "$name" = long_line ] && rm -f "$app/RavariVudovi.ini" "$out/$name.before"
done

# The page count at its highest with three live pages: start reads those three and no
# more (not two billion sections), and a new page is refused with a message.
begin pagenum_max
start
page
expect "$tabs" "*一  二  三" "tabs"
quit
no_boxes
row
[ "${secs%.*}" -lt 15 ] || fail "the start took $secs s"
start
D context-menu "$caption" >/dev/null
D menu-pick 3 10000 >/dev/null || fail "no page menu"
expect "$(boxes 3000)" "Vantri Launch|これ以上ページを作成できません" "the new page command"
quit
expect "$(corpus get "$app/RavariVudovi.ini" General PageNum)" "2147483647" "the page count"

# Grids and places out of every range: each page builds a grid within the limits, and the
# window opens on the screen.
begin grid_values
start
page
expect "$tabs" "*負  巨大  広い" "tabs"
expect "$count" "5" "a grid of zeros and negatives: the new-page grid"
expect "$(D client "$caption")" "client 320x83" "a grid of zeros and negatives"
read -r _ at size < <(D state "$caption")
x=${at%,*} y=${at#*,}
[ "$x" -ge 0 ] && [ "$y" -ge 0 ] && [ "$x" -lt 1024 ] && [ "$y" -lt 768 ] || fail "the window at $at, off the screen"
D select-tab "$caption" 1 >/dev/null
sleep 0.5
expect "$(D buttons "$caption" | wc -l)" "40" "huge values: at most 40 columns, a row count too big to read is the default"
expect "$(D buttons "$caption" | sed -n 1p | cut -d' ' -f2)" "512x512" "huge button sizes"
D select-tab "$caption" 2 >/dev/null
sleep 0.5
expect "$(D buttons "$caption" | wc -l)" "80" "a wide page: 40 columns of 2 rows"
expect "$(D client "$caption")" "client 800x59" "a wide page"
D select-tab "$caption" 0 >/dev/null
quit
no_boxes
row

# A thousand live pages: they all open, and the exit and the log-off each save them in one
# write of the file. Written page by page, 2000 pages left the log-off unanswered for 10 s.
watch_writes() {
  rm -f "$out/writes.txt"
  /usr/bin/python3 "$here/settings_corpus.py" watch "$app/RavariVudovi.ini" >"$out/writes.txt" &
  watcher=$!
  for _ in $(seq 50); do
    [ -s "$out/writes.txt" ] && return 0
    sleep 0.1
  done
  fail "no watch on the settings file"
}
writes() {  # how often the settings file was replaced since watch_writes
  sleep 0.5
  kill "$watcher"
  wait "$watcher" 2>/dev/null || true
  grep -c replaced "$out/writes.txt" || true
}
begin many_pages
start
page
expect "$(D tabs "$caption" | wc -l)" "1000" "tabs"
watch_writes
t0=$(date +%s%N)
quit
exit_ms=$((($(date +%s%N) - t0) / 1000000))
expect "$(writes)" "1" "writes of the file at exit"
no_boxes
tabs="$(echo "$tabs" | cut -c1-12)... (1000 tabs)"
row
start
watch_writes
t0=$(date +%s%N)
expect "$(D endsession "$caption")" "answer 1" "the log-off"
logoff_ms=$((($(date +%s%N) - t0) / 1000000))
# Nothing changed since the exit wrote the window's place: nothing, or one write at most.
n=$(writes)
[ "$n" -le 1 ] || fail "writes of the file at log-off: expected at most 1, got $n"
quit
echo "many_pages: exit in $exit_ms ms, log-off answered in $logoff_ms ms" >>"$out/table.txt"
# The shown page's grid was never set by anyone: a log-off writes only what the user changed.
if corpus get "$app/RavariVudovi.ini" Page1 Yoko >/dev/null; then fail "the shown page's unset grid was written at log-off"; fi
# The other 999 were never shown, so never built: they write nothing, not even a header.
! corpus get "$app/RavariVudovi.ini" Page1000 Yoko >/dev/null || fail "a page never shown wrote its header"

# A settings file made read-only by its user: it starts as it stands; a drop is refused
# with one box that names the file, and the exit adds none; the file stays as it was.
begin read_only
chmod a-w "$app/RavariVudovi.ini"
start
page
expect "$tabs" "*固定" "tabs"
drop_on_first "$app/dropped.txt"
D message 5000 none >/dev/null || fail "no box at the drop"
import -window root "$out/read_only_drop.png" 2>/dev/null || true
drop_boxes=$(boxes 2000 | paste -sd '/')
expect "$drop_boxes" "Vantri Launch|Z:${app//\//\\}\\RavariVudovi.ini に書き込めません." "the drop on a read-only file"
quit
expect "$(one_line "$start_boxes$exit_boxes")" "none" "boxes at start and exit"
cmp -s "$out/$name.before" "$app/RavariVudovi.ini" || fail "the read-only file changed"
row
# The same file without the window's place: the exit alone has something to write, and
# says once that it cannot.
chmod u+w "$app/RavariVudovi.ini"
grep -av '^FormTop=' "$out/$name.before" >"$app/RavariVudovi.ini"
chmod a-w "$app/RavariVudovi.ini"
start
page
expect "$tabs" "*固定" "tabs without the window's place"
quit
expect "$(one_line "$start_boxes")" "none" "boxes at start without the window's place"
expect "$(one_line "$exit_boxes")" \
  "Vantri Launch|Z:${app//\//\\}\\RavariVudovi.ini に書き込めません." "the exit with a read-only file"

# A folder where the temporary file cannot be made (a folder of its name stands in the
# way; a read-only folder would not stop the root user the tests run as): a first start
# there says once that the file cannot be written, and still opens a page to work with.
name=tmp_blocked drop_boxes=
echo "== $name"
fresh "$name"
mkdir "$app/RavariVudovi.ini.tmp"
: >"$out/$name.before"
start
page
expect "$(one_line "$start_boxes")" "Vantri Launch|Z:${app//\//\\}\\RavariVudovi.ini に書き込めません." "the first start"
expect "$tabs" "*NewPage" "tabs"
expect "$count" "5" "buttons"
import -window root "$out/tmp_blocked_page.png" 2>/dev/null || true
quit
expect "$(one_line "$exit_boxes")" "none" "boxes at exit"
[ ! -e "$app/RavariVudovi.ini" ] || fail "a settings file was made past the refused temporary file"
touch "$app/RavariVudovi.ini"
row

cat "$out/table.txt"
echo "settings corpus passed"
