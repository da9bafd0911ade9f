# Sourced by the scripts: starts an Xvfb display of our own and exports DISPLAY, and
# stops it (with Wine's server for our prefix) when the script exits.
start_xvfb() {
  local n=90
  while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
  Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
  VL_XVFB_PID=$!
  export DISPLAY=":$n"
  for _ in $(seq 100); do
    xdpyinfo >/dev/null 2>&1 && return 0
    sleep 0.1
  done
  echo "Xvfb did not start on $DISPLAY" >&2
  return 1
}

stop_xvfb() {
  if [ -n "${VL_WINEPREFIX:-}" ]; then WINEPREFIX="$VL_WINEPREFIX" wineserver -k 2>/dev/null || true; fi
  if [ -n "${VL_XVFB_PID:-}" ]; then kill "$VL_XVFB_PID" 2>/dev/null || true; fi
}
