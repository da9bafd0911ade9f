# Sourced by the end-to-end scripts after they set `driver` (vl_driver.exe) and, where
# they press keys, `keys` (send_keys.exe): the Wine runner, the launcher's caption and the
# helpers every scenario uses. `ini` and `fresh` work on the launcher copy in $app, `quit`
# on the one whose process is $pid.
here=$(cd "$(dirname "$0")" && pwd)
run="$here/../../tools/wine-run"
caption='    -Vantri Launch-'

# Runs a test tool (vl_driver, send_keys) under Wine, passes on its output and returns the
# exit code the tool printed last ("vl-exit N"): Wine can abort a process that has finished
# in the C library's exit, and the shell would see a failure where the tool had answered.
# Without that line the tool did not finish, and the process's status stands.
tool() {
  local out status=0 last
  out=$("$run" "$@") || status=$?
  out=${out//$'\r'/}
  last=${out##*$'\n'}
  if [[ $last =~ ^vl-exit\ ([0-9]+)$ ]]; then
    [ "$status" = 0 ] || echo "note: $(basename "$1") answered ${BASH_REMATCH[1]}, then Wine ended it with status $status" >&2
    status=${BASH_REMATCH[1]}
    out=${out%"$last"}
    out=${out%$'\n'}
  fi
  [ -z "$out" ] || printf '%s\n' "$out"
  return "$status"
}
D() { tool "$driver" "$@"; }
press() { tool "$keys" "$@" >/dev/null; sleep "${press_pause:-0.5}"; }
fail() {
  echo "FAIL: $*" >&2
  exit 1
}
expect() { [ "$1" = "$2" ] || fail "$3: expected [$2], got [$1]"; }
state() { D state "$caption" | cut -d' ' -f1; }
ini() { /usr/bin/python3 "$here/ini_read.py" "$app/RavariVudovi.ini" "$@"; }
# What COMMAND prints once it prints EXPECTED, or after 5 seconds: for what the launcher
# does after the driver's click has returned (a menu's command runs in its own time).
settled() {  # EXPECTED COMMAND...
  local want=$1 got=
  shift
  for _ in $(seq 50); do
    got=$("$@")
    [ "$got" = "$want" ] && break
    sleep 0.1
  done
  printf '%s' "$got"
}
fresh() {  # a copy of the shipped files in $out/NAME, as $app
  app=$out/$1
  mkdir -p "$app" && "$here/../../tools/copy-shipped.sh" "$dist" "$app"
}
ends_within() {  # pid seconds
  for _ in $(seq $(($2 * 10))); do
    kill -0 "$1" 2>/dev/null || return 0
    sleep 0.1
  done
  return 1
}
quit() {  # "終了" in the tray menu
  D tray right >/dev/null
  D menu-pick 6 10000 >/dev/null || fail "no tray menu"
  ends_within "$pid" 20 || fail "the launcher did not end after 終了"
  wait "$pid" || fail "the launcher ended with an error"
}

# A Wine prefix beside VL_WINEPREFIX (or the build's) whose screen is 144 DPI (150 %),
# made on first use; prints its path. LogPixels is the value Wine 8 reads for the screen's
# DPI, and a desktop process keeps the DPI it started with, so the prefix's server is let
# go after the change.
prefix_at_144_dpi() {
  local prefix=${VL_WINEPREFIX:-$here/../../build/win/wineprefix}-dpi144 server
  if ! grep -q '"LogPixels"=dword:00000090' "$prefix/user.reg" 2>/dev/null; then
    VL_WINEPREFIX=$prefix "$run" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 144 /f >/dev/null
    server=/usr/lib/wine/wineserver
    [ -x "$server" ] || server=wineserver
    WINEPREFIX=$prefix "$server" -k 2>/dev/null || true
    WINEPREFIX=$prefix "$server" -w 2>/dev/null || true
  fi
  echo "$prefix"
}
