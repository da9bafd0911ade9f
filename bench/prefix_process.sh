# Sourced by the benchmarks that watch a program from outside: find_pid NAME prints the
# Linux pid of the process of $prefix whose whole name (its first 15 characters) matches
# the pattern NAME. Wine runs a program in a process of its own, not under the pid that
# started it, and several prefixes may run programs of the same name.
find_pid() {
  local p
  for _ in $(seq 200); do
    for p in $(pgrep -x -- "$1"); do
      if tr '\0' '\n' <"/proc/$p/environ" 2>/dev/null | grep -qxF "WINEPREFIX=$prefix"; then
        echo "$p"
        return 0
      fi
    done
    sleep 0.1
  done
  return 1
}
