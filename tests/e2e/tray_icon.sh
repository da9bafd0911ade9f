#!/usr/bin/env bash
# End to end: the tray icon in a Wine virtual desktop, whose taskbar has a notification
# area. tray_host.exe puts up a plain magenta icon; the script finds it on a screenshot,
# works it with the real pointer (xdotool) and reads the events from the host's log:
#   a single click   gives one click, one double-click time after the press;
#   a double click   gives one double click and no click;
#   a long press     gives one click, at the release;
#   a right press    opens the menu at the pointer ("隠す", then "表示", by keyboard);
#   the shell forgets the icon and then announces a new taskbar: the icon is back;
#   minimising the application hides it and keeps the icon; a double click brings it back;
#   "終了" ends the host.
# Screenshots of each step land in OUT_DIR. Usage: tray_icon.sh TRAY_HOST_EXE OUT_DIR
set -euo pipefail
host=$1 out=$2
here=$(cd "$(dirname "$0")" && pwd)
run="$here/../../tools/wine-run"
desktop="vltray$$"

rm -rf "$out" && mkdir -p "$out"
log="$out/events.log"
: >"$log"
cd "$(dirname "$host")"
exe=$(basename "$host")
"$run" explorer "/desktop=$desktop,1024x768" "$exe" "$log" &
app=$!
trap 'kill $app 2>/dev/null || true' EXIT

fail() {
  echo "FAIL: $*" >&2
  import -window root "$out/failure.png" 2>/dev/null || true
  echo "--- events.log" >&2
  cat "$log" >&2
  exit 1
}

# Prints "x y" of the middle of the magenta pixels on the screen; fails when there are none.
locate() { import -window root -depth 8 ppm:- | /usr/bin/python3 "$here/screen_find.py" magenta; }

# Waits up to $2 tenths of a second for a log line matching $1 after line $3.
wait_log() {
  for _ in $(seq "$2"); do
    tail -n +"$(($3 + 1))" "$log" | grep -q -- "$1" && return 0
    sleep 0.1
  done
  return 1
}
lines() { wc -l <"$log"; }
# The time of the first event $1 after line $2 (empty when there is none).
time_of() { tail -n +"$(($2 + 1))" "$log" | awk -v e="$1" '$2 == e { print $1; exit }'; }
count_of() { tail -n +"$(($2 + 1))" "$log" | awk -v e="$1" '$2 == e { n++ } END { print n + 0 }'; }
within() { awk -v v="$1" -v lo="$2" -v hi="$3" 'BEGIN { exit !(v >= lo && v <= hi) }'; }

wait_log '^[0-9.]* ready ' 300 0 || fail "tray_host did not start"
read -r _ _ handler id _ dct _ < <(grep ' ready ' "$log")
echo "handler window $handler, icon $id, double-click time $dct ms"

xy=""
for _ in $(seq 50); do
  xy=$(locate) && break
  sleep 0.2
done
[ -n "$xy" ] || fail "no icon in the notification area"
read -r x y <<<"$xy"
echo "icon at $x,$y"
import -window root "$out/1-icon.png"
xdotool mousemove "$x" "$y"
sleep 0.5

# A single click.
# Each step waits for its event, then one more double-click time for any event too many.
settle() { sleep "$(awk -v d="$dct" 'BEGIN { print (d + 300) / 1000 }')"; }
mark=$(lines)
xdotool click 1
wait_log ' click$' 50 "$mark" || fail "single click: no click"
settle
down=$(time_of down "$mark") click=$(time_of click "$mark")
[ -n "$down" ] || fail "the press did not reach the icon"
[ "$(count_of click "$mark")" = 1 ] || fail "single click: $(count_of click "$mark") clicks"
[ "$(count_of dblclick "$mark")" = 0 ] || fail "single click: a double click"
single=$(awk -v a="$down" -v b="$click" 'BEGIN { printf "%.1f", b - a }')
within "$single" "$((dct - 20))" "$((dct + 250))" || fail "single click came $single ms after the press"
echo "single click: click $single ms after the press (double-click time $dct ms)"

# A double click.
mark=$(lines)
xdotool click --repeat 2 --delay 120 1
wait_log ' dblclick' 50 "$mark" || fail "double click: no double click"
settle
[ "$(count_of dblclick "$mark")" = 1 ] || fail "double click: $(count_of dblclick "$mark") double clicks"
[ "$(count_of click "$mark")" = 0 ] || fail "double click: $(count_of click "$mark") clicks as well"
double=$(awk -v a="$(time_of down "$mark")" -v b="$(time_of dblclick "$mark")" 'BEGIN { printf "%.1f", b - a }')
echo "double click: double click $double ms after the first press, no click"

# A press held longer than the double-click time.
mark=$(lines)
xdotool mousedown 1
sleep "$(awk -v d="$dct" 'BEGIN { print (d + 700) / 1000 }')"
[ "$(count_of click "$mark")" = 0 ] || fail "long press: a click while the button was held"
xdotool mouseup 1
wait_log ' click$' 50 "$mark" || fail "long press: no click"
settle
[ "$(count_of click "$mark")" = 1 ] || fail "long press: $(count_of click "$mark") clicks"
# The click comes in the release's own notification, just before the release event.
release=$(tail -n +"$((mark + 1))" "$log" | awk '$2 == "click" { getline next_line; split(next_line, f, " "); print f[2]; exit }')
[ "$release" = up ] || fail "long press: the click did not come with the release"
held=$(awk -v a="$(time_of down "$mark")" -v b="$(time_of click "$mark")" 'BEGIN { printf "%.1f", b - a }')
echo "long press: click at the release, $held ms after the press"

# The menu, at the pointer. The host logs where the open menu's items are ("menu-open"
# foreground|background, then the middle of each item); the script clicks them as a user
# would. The menu covers the icon in the corner, so the icon shows again once it closes.
# Opens the menu; sets item_1 to item_4 to the items' middles.
open_menu() {
  local mark
  mark=$(lines)
  xdotool mousemove "$x" "$y" click 3
  wait_log 'menu-open' 50 "$mark" || fail "a right press did not open the menu"
  read -r _ _ where item_1 item_2 _ item_4 < <(tail -n +"$((mark + 1))" "$log" | grep ' menu-open ' | head -n 1)
  [ "$where" = foreground ] || fail "the menu opened while another program had the foreground"
  sleep 0.3
}
click_at() { xdotool mousemove "${1%,*}" "${1#*,}" click 1; }

open_menu
import -window root "$out/2-menu.png"
! locate >/dev/null || fail "the menu did not open over the icon"
xdotool mousemove 500 200 click 1
sleep 0.5
locate >/dev/null || fail "a click elsewhere did not close the menu"
mark=$(lines)
open_menu
click_at "$item_2"
wait_log 'menu 隠す hidden' 30 "$mark" || fail "the menu's 隠す did not hide the form"
mark=$(lines)
open_menu
click_at "$item_1"
wait_log 'menu 表示 visible' 30 "$mark" || fail "the menu's 表示 did not show the form"
echo "menu: opened at the right press, closed by a click elsewhere; 隠す hid the form, 表示 showed it"

# The shell forgets the icon (as when the taskbar goes away), then announces a new taskbar.
"$run" explorer "/desktop=$desktop" "$exe" forget "$handler" "$id"
gone=no
for _ in $(seq 30); do
  if ! locate >/dev/null; then gone=yes && break; fi
  sleep 0.1
done
[ $gone = yes ] || fail "the shell did not drop the icon"
import -window root "$out/3-forgotten.png"
# The shell keeps nothing of a dropped icon: it stays away until the host adds it again.
sleep 2
! locate >/dev/null || fail "the icon came back without a new taskbar"
"$run" explorer "/desktop=$desktop" "$exe" taskbar-created
back=no
for _ in $(seq 50); do
  if locate >/dev/null; then back=yes && break; fi
  sleep 0.1
done
[ $back = yes ] || fail "the icon did not come back on TaskbarCreated"
import -window root "$out/4-back.png"
echo "taskbar re-created: the icon came back"

# Minimising the application goes to the tray; a double click on the icon comes back.
mark=$(lines)
"$run" explorer "/desktop=$desktop" "$exe" minimise
wait_log 'minimised hidden owner hidden' 50 "$mark" || fail "minimising did not hide the form and the owner window"
locate >/dev/null || fail "the icon went with the minimised application"
import -window root "$out/5-minimised.png"
mark=$(lines)
xdotool mousemove "$x" "$y" click --repeat 2 --delay 120 1
wait_log 'dblclick visible' 50 "$mark" || fail "a double click did not bring the form back"
echo "minimised to the tray: form and owner window hidden, icon kept; a double click showed the form"

# "終了" from the menu ends the host.
mark=$(lines)
open_menu
click_at "$item_4"
wait_log '^[0-9.]* exit' 50 "$mark" || fail "終了 did not end the host"
for _ in $(seq 100); do
  kill -0 $app 2>/dev/null || break
  sleep 0.1
done
echo "menu: 終了 ended the host"
