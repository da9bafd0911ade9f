#!/usr/bin/env bash
# Builds the launcher and runs dist/RavariVudovi.exe under Wine with the Japanese locale.
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

if [ -n "${DISPLAY:-}" ]; then
  cd "$dist" && exec "$root/tools/wine-run" RavariVudovi.exe
fi

source tools/xvfb.sh
trap stop_xvfb EXIT
start_xvfb
caption='    -Vantri Launch-'
(cd "$dist" && exec "$root/tools/wine-run" RavariVudovi.exe) &
app=$!
tools/wine-run "$build/win/tests/e2e/vl_driver.exe" wait-window "$caption" 60000
sleep 1
import -window root "$build/launcher.png"
echo "screenshot: $build/launcher.png"
# "終了" in the tray menu: closing the window would only hide it.
tools/wine-run "$build/win/tests/e2e/vl_driver.exe" tray right
tools/wine-run "$build/win/tests/e2e/vl_driver.exe" menu-pick 6 10000
wait $app
