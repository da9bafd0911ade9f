#!/usr/bin/env bash
# End to end: the launcher's own icon in the notification area of a Wine virtual desktop,
# double-clicked with the real pointer, shows the hidden launcher. Programs outside the
# virtual desktop cannot see its windows, so the script looks at the screen instead: a
# point inside the launcher's first button (the window opens at 300,300) is button face
# while the launcher shows, desktop while it is hidden.
# Usage: tray_launcher.sh DIST_DIR OUT_DIR
set -euo pipefail
dist=$1 out=$(realpath -m "$2")
here=$(cd "$(dirname "$0")" && pwd)
run="$here/../../tools/wine-run"
rm -rf "$out" && mkdir -p "$out" && "$here/../../tools/copy-shipped.sh" "$dist" "$out"

fail() {
  echo "FAIL: $*" >&2
  import -window root "$out/failure.png" 2>/dev/null || true
  exit 1
}
pixel() { import -window root -crop "1x1+$1+$2" -depth 8 txt:- | tail -n 1 | grep -o '#[0-9A-F]\{6\}'; }
# Waits up to 5 s for the point inside the first button to be (or, with "!", not be) $1.
wait_pixel() {
  for _ in $(seq 50); do
    local now
    now=$(pixel 330 370)
    if [ "${2:-}" = "!" ]; then [ "$now" != "$1" ] && return 0; else [ "$now" = "$1" ] && return 0; fi
    sleep 0.1
  done
  return 1
}

# Not a first start: Wine's tray gives a click on the icon to the first start's balloon,
# which stands beside it, where Windows gives it to the icon.
: >"$out/RavariVudovi.ini"
(cd "$out" && exec "$run" explorer "/desktop=vlmain$$,1024x768" RavariVudovi.exe) &
app=$!
# The launcher goes with the desktop: the one process of this prefix that runs it (the
# Windows tests run one at a time). It used to die on its own of an X error when its
# desktop went, polling the pointer there; resting, it polls nothing.
stop() {
  kill $app 2>/dev/null || true
  local p
  for p in $(pgrep -f 'RavariVudovi\.exe'); do
    if tr '\0' '\n' <"/proc/$p/environ" 2>/dev/null | grep -qxF "WINEPREFIX=$VL_WINEPREFIX"; then
      kill "$p" 2>/dev/null || true
    fi
  done
}
trap stop EXIT

# The icon is what differs from the taskbar's own colour at the taskbar's right end.
xy=""
for _ in $(seq 150); do
  xy=$(import -window root -depth 8 ppm:- | /usr/bin/python3 "$here/screen_find.py" tray-icon) && break
  sleep 0.2
done
[ -n "$xy" ] || fail "the launcher's icon is not in the notification area"
read -r x y <<<"$xy"
echo "icon at $x,$y"
sleep 1
face=$(pixel 330 370)
desk=$(pixel 100 100)
[ "$face" != "$desk" ] || fail "the launcher is not on the screen"

# Esc is the desktop's while the desktop has the focus, and the launcher's in the launcher.
xdotool mousemove 700 600 click 1 key Escape
sleep 0.5
[ "$(pixel 330 370)" = "$face" ] || fail "Esc pressed on the desktop hid the launcher"
xdotool mousemove 330 370 click 1 key Escape  # on the first button, an empty one
wait_pixel "$desk" || fail "Esc did not hide the launcher"
import -window root "$out/hidden.png"
xdotool mousemove "$x" "$y" click --repeat 2 --delay 80 1
wait_pixel "$face" || fail "a double click on the icon did not show the launcher"
import -window root "$out/shown.png"
echo "a double click on the real icon shows the launcher"
