#!/usr/bin/env bash
# Memory of the shipped launcher against a process with one bare window: each started in
# $VL_WINEPREFIX on $DISPLAY, left to settle, then measured from /proc/PID/status of its Wine
# process: VmRSS (its working set) and RssAnon (the resident part of the memory it made for
# itself: heap, stacks, bitmaps; the closest Linux figure to private bytes). The launcher
# starts on a settings file of 1 page of 5 buttons and on one of 20 pages of 100 buttons,
# each button bound to one of the system's programs. Prints MB and the difference from the
# bare window. Runs any build's dist folder, so that two builds compare by one method. The
# bare window's process loads fewer system DLLs than the launcher (no shell or common
# controls), whose mapped pages count in VmRSS: compare launchers by the difference between
# them; startup_bench measures against a bare window in a process that loads the same DLLs.
# Usage: memory.sh DIST_DIR IDLE_WINDOW_EXE OUT_DIR
set -euo pipefail
dist=$(realpath "$1") bare_exe=$(realpath "$2") out=$(realpath -m "$3")
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
run="$here/../tools/wine-run"
prefix=${VL_WINEPREFIX:?set VL_WINEPREFIX to the prefix to run in}
settle=${VL_MEMORY_SETTLE:-5}  # seconds after the start, before the figures are read
rm -rf "$out" && mkdir -p "$out"

source "$here/prefix_process.sh"

# measure NAME DIR EXE: appends "NAME VmRSS_kB RssAnon_kB" to $out/results.
measure() {
  local name=$1 dir=$2 exe=$3 starter pid
  (cd "$dir" && exec "$run" "$exe") >"$out/$name.log" 2>&1 &
  starter=$!
  pid=$(find_pid "${exe:0:15}") || { echo "memory: $exe did not start" >&2; return 1; }
  sleep "$settle"
  echo "$name $(awk '/^VmRSS:/ {r = $2} /^RssAnon:/ {a = $2} END {print r, a}' "/proc/$pid/status")" >>"$out/results"
  kill "$pid"
  for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
  kill -9 "$pid" 2>/dev/null || true
  wait "$starter" 2>/dev/null || true
}

# settings PAGES BUTTONS FILE: the file bench_support.h's WriteSettings writes, 10 buttons a row.
settings() {
  /usr/bin/python3 - "$@" <<'PY'
import sys
pages, buttons, path = int(sys.argv[1]), int(sys.argv[2]), sys.argv[3]
targets = [r"C:\windows\notepad.exe", r"C:\windows\regedit.exe", r"C:\windows\system32\cmd.exe",
           r"C:\windows\system32\taskmgr.exe"]
lines = ["[General]", f"PageNum={pages}", "FormTop=300", "FormLeft=300"]
for p in range(1, pages + 1):
    lines += [f"[Page{p}]", "Live=1", f"Name=ページ{p}", f"Yoko={min(buttons, 10)}", f"Tate={(buttons + 9) // 10}",
              "BtnW=64", "BtnH=64", "ShowType=0", "FontName=ＭＳ Ｐゴシック", "FontSize=10", "FontColor=clNavy"]
    for b in range(1, buttons + 1):
        t = targets[b % len(targets)]
        lines += [f"BtnFP{b}={t}", f"BtnName{b}=ツール{b}", f"BtnIP{b}={t}", f"WD{b}={t.rsplit(chr(92), 1)[0]}"]
open(path, "wb").write(("\r\n".join(lines) + "\r\n").encode("cp932"))
PY
}

mkdir -p "$out/bare" && cp "$bare_exe" "$out/bare/"
measure bare "$out/bare" "$(basename "$bare_exe")"
for kind in "small 1 5" "large 20 100"; do
  read -r name pages buttons <<<"$kind"
  "$here/../tools/copy-shipped.sh" "$dist" "$out/$name"
  settings "$pages" "$buttons" "$out/$name/RavariVudovi.ini"
  measure "$name" "$out/$name" RavariVudovi.exe
done

awk '
  { name[NR] = $1; rss[NR] = $2 / 1024; anon[NR] = $3 / 1024 }
  END {
    label["bare"] = "bare window"; label["small"] = "launcher, 1 page x 5 buttons"
    label["large"] = "launcher, 20 pages x 100 buttons"
    printf "memory %s s after the start: MB (VmRSS / RssAnon), and above the bare window\n", settle
    for (i = 1; i <= NR; ++i)
      printf "%-34s %8.2f / %8.2f   +%.2f / +%.2f\n", label[name[i]], rss[i], anon[i], rss[i] - rss[1], anon[i] - anon[1]
  }' settle="$settle" "$out/results"
