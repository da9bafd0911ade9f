#!/usr/bin/env bash
# Builds the launcher and runs it under Wine with the Japanese locale, from a folder of its
# own, build/launcher/: the shipped files are copied there afresh each time, and the
# settings file the launcher writes there is kept between runs. Building and testing never
# meet that settings file: dist/ stays as the build made it.
# On the current display when there is one; otherwise on an Xvfb display of its own,
# where it writes a screenshot to build/launcher.png and ends the launcher again.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"

build=${VL_BUILD:-$root/build}
if [ -n "${VL_BUILD:-}" ]; then dist=$build/dist; else dist=$root/dist; fi

tools/install-deps.sh
tools/build.sh win
export VL_WINEPREFIX="$build/win/wineprefix"
home="$build/launcher"
tools/copy-shipped.sh "$dist" "$home"
echo "running the launcher in $home (its settings file stays there between runs)"

if [ -n "${DISPLAY:-}" ]; then
  cd "$home" && exec "$root/tools/wine-run" RavariVudovi.exe
fi

source tools/xvfb.sh
trap stop_xvfb EXIT
start_xvfb
caption='    -Vantri Launch-'
(cd "$home" && exec "$root/tools/wine-run" RavariVudovi.exe) &
app=$!
tools/wine-run "$build/win/tests/e2e/vl_driver.exe" wait-window "$caption" 60000
sleep 1
import -window root "$build/launcher.png"
echo "screenshot: $build/launcher.png"
# "終了" in the tray menu: closing the window would only hide it.
tools/wine-run "$build/win/tests/e2e/vl_driver.exe" tray right
tools/wine-run "$build/win/tests/e2e/vl_driver.exe" menu-pick 6 10000
wait $app
