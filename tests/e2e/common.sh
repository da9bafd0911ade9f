# Sourced by the end-to-end scripts after they set `driver` (vl_driver.exe) and, where
# they press keys, `keys` (send_keys.exe): the Wine runner, the launcher's caption and the
# helpers every scenario uses. `ini` and `fresh` work on the launcher copy in $app, `quit`
# on the one whose process is $pid.
here=$(cd "$(dirname "$0")" && pwd)
run="$here/../../tools/wine-run"
caption='    -Vantri Launch-'

D() { "$run" "$driver" "$@" | tr -d '\r'; }
press() { "$run" "$keys" "$@" >/dev/null; sleep "${press_pause:-0.5}"; }
fail() {
  echo "FAIL: $*" >&2
  exit 1
}
expect() { [ "$1" = "$2" ] || fail "$3: expected [$2], got [$1]"; }
state() { D state "$caption" | cut -d' ' -f1; }
ini() { /usr/bin/python3 "$here/ini_read.py" "$app/RavariVudovi.ini" "$@"; }
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
