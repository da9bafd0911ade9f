#!/usr/bin/env bash
# End to end on the shipped launcher carried from one drive letter to another, as a USB
# stick is E: at home and F: at work: the launcher's folder is put on a drive of its own
# (a drive letter of the prefix) and started from there, from another current folder.
# A button whose location and working folder use %USERPROFILE% opens its batch file in
# that folder and is not marked gone; one at ".\apps\x.bat" opens in the launcher's apps
# folder; with "PortablePaths=1" a file dropped from the launcher's drive is stored
# relative to it and one from another drive (C:) stays full. Then the whole folder is
# copied to another drive letter and deeper, the first one taken away, and the same
# buttons (the dropped one too) open from the copy; the file still holds the paths as
# written. The screenshots OUT_DIR/home.png and OUT_DIR/work.png show the marks.
# Usage: portable_paths.sh DIST_DIR DRIVER_EXE OUT_DIR
set -euo pipefail
dist=$1 driver=$2 out=$(realpath -m "$3")
source "$(dirname "$0")/common.sh"
rm -rf "$out" && mkdir -p "$out"
prefix=${VL_WINEPREFIX:-$here/../../build/win/wineprefix}
pid= home_drive= work_drive= profile=
cleanup() {
  kill $pid 2>/dev/null || true
  for d in $home_drive $work_drive; do rm -f "$prefix/dosdevices/$d:"; done
  [ -z "$profile" ] || rm -rf "$profile"
}
trap cleanup EXIT

# Two drive letters nobody holds, for this scenario only.
for d in e f g h i j k l m; do
  if [ -e "$prefix/dosdevices/$d:" ] || [ -L "$prefix/dosdevices/$d:" ]; then continue; fi
  if [ -z "$home_drive" ]; then home_drive=$d; elif [ -z "$work_drive" ]; then work_drive=$d; break; fi
done
[ -n "$work_drive" ] || fail "no two free drive letters in the prefix"
HOME_DRIVE=${home_drive^^} WORK_DRIVE=${work_drive^^}

# The user's folder as the launcher sees %USERPROFILE%, and where it lies on this side.
user_win=$("$run" cmd /c 'echo %USERPROFILE%' | tr -d '\r')
[[ $user_win == C:\\* ]] || fail "no user folder on C: ($user_win)"
user_unix=$prefix/drive_c/$(tr '\\' / <<<"${user_win:3}")
[ -d "$user_unix" ] || fail "the user folder $user_unix is not there"
tag=vl-portable-$$
profile=$user_unix/$tag
mkdir -p "$profile/work"

# A batch file that writes down the folder it was started in, beside itself.
bat() {  # FILE
  printf '@echo off\r\ncd > "%%~dpn0.opened"\r\n' >"$1"
}
bat "$profile/tool.bat"
bat "$profile/other.bat"

mkdir -p "$out/home"
ln -sfn "$out/home" "$prefix/dosdevices/$home_drive:"
fresh home/Vantri
mkdir -p "$app/apps"
bat "$app/apps/x.bat"
bat "$app/apps/dropped.bat"
{
  printf '[General]\r\nPageNum=1\r\n[Setting]\r\nPortablePaths=1\r\nHideWhenClickBtn=0\r\n'
  printf '[Page1]\r\nLive=1\r\nName=Carry\r\nYoko=5\r\nTate=1\r\nBtnW=64\r\nBtnH=64\r\nShowType=0\r\n'
  printf 'BtnFP1=%%USERPROFILE%%\\%s\\tool.bat\r\nBtnName1=tool\r\nBtnIP1=%%USERPROFILE%%\\%s\\tool.bat\r\n' "$tag" "$tag"
  printf 'WD1=%%USERPROFILE%%\\%s\\work\r\n' "$tag"
  printf 'BtnFP2=.\\apps\\x.bat\r\nBtnName2=x\r\nBtnIP2=.\\apps\\x.bat\r\nWD2=.\\apps\r\n'
  # The control: a variable that leads where nothing is, marked gone.
  printf 'BtnFP3=%%USERPROFILE%%\\%s\\gone.bat\r\nBtnName3=gone\r\nBtnIP3=%%USERPROFILE%%\\%s\\gone.bat\r\n' "$tag" "$tag"
} >"$app/RavariVudovi.ini"

start() {  # WINDOWS_PATH_OF_THE_EXE
  (cd "$out" && exec "$run" "$1") &
  pid=$!
  D wait-window "$caption" 30000 >/dev/null || fail "no main window from $1"
  sleep 1
  D buttons "$caption" >"$out/buttons.txt"
}
# Red mark pixels in the top-right corner of each button; prints them.
marks() { /usr/bin/python3 "$here/mark_pixels.py" "$1" "$out/buttons.txt"; }
expect_marks() {  # PNG WHAT
  import -window root -depth 8 "$1"
  read -r -a m < <(marks "$1")
  [ ${#m[@]} = 5 ] || fail "$2: ${#m[@]} buttons"
  [ "${m[2]}" -gt 30 ] || fail "$2: the button that leads nowhere is not marked (${m[*]})"
  for n in 0 1 3 4; do [ "${m[$n]}" = 0 ] || fail "$2: button $((n + 1)) is marked gone (${m[*]})"; done
}
center() {  # N: "X Y" of the button's middle
  read -r at size _ < <(sed -n "$1p" "$out/buttons.txt")
  echo "$((${at%,*} + ${size%x*} / 2)) $((${at#*,} + 20))"
}
# Clicks button N and waits for FILE.opened; prints the folder it was started in.
open_button() {  # N FILE_WITHOUT_.bat
  rm -f "$2.opened"
  read -r x y < <(center "$1")
  D activate "$caption" >/dev/null
  xdotool mousemove "$x" "$y" && sleep 0.3 && xdotool click 1
  for _ in $(seq 100); do
    [ -s "$2.opened" ] && break
    sleep 0.2
  done
  [ -s "$2.opened" ] || fail "button $1 did not open $2.bat"
  sleep 0.2
  tr -d '\r\n' <"$2.opened"
}

# At home: the stick is $HOME_DRIVE:, the launcher started from another folder.
start "$HOME_DRIVE:\\Vantri\\RavariVudovi.exe"
expect_marks "$out/home.png" "at home"
expect "$(open_button 1 "$profile/tool")" "$user_win\\$tag\\work" "the %USERPROFILE% button's folder"
expect "$(open_button 2 "$app/apps/x")" "$HOME_DRIVE:\\Vantri\\apps" "the .\\apps button's folder"

# Drops: from the launcher's drive, stored relative; from C:, stored full.
read -r x y < <(center 4)
/usr/bin/python3 "$here/xdnd_drop.py" "$x" "$y" "$app/apps/dropped.bat" || fail "the drop was refused"
read -r x y < <(center 5)
/usr/bin/python3 "$here/xdnd_drop.py" "$x" "$y" "$profile/other.bat" || fail "the drop was refused"
sleep 1
expect "$(ini Page1 BtnFP4)" '.\apps\dropped.bat' "the dropped location"
expect "$(ini Page1 WD4)" '.\apps' "the dropped working folder"
expect "$(ini Page1 BtnIP4)" '.\apps\dropped.bat' "the dropped icon"
expect "$(ini Page1 BtnName4)" 'dropped' "the dropped name"
expect "$(ini Page1 BtnFP5)" "$user_win\\$tag\\other.bat" "a drop from another drive"
expect "$(ini Page1 WD5)" "$user_win\\$tag" "its working folder"
expect "$(open_button 4 "$app/apps/dropped")" "$HOME_DRIVE:\\Vantri\\apps" "the dropped button's folder"
quit

# At work: the same folder on $WORK_DRIVE:, one level deeper, and nothing left at home.
mkdir -p "$out/work/Portable"
cp -a "$app" "$out/work/Portable/Vantri"
rm -f "$prefix/dosdevices/$home_drive:"
rm -rf "$out/home"
ln -sfn "$out/work" "$prefix/dosdevices/$work_drive:"
app=$out/work/Portable/Vantri
start "$WORK_DRIVE:\\Portable\\Vantri\\RavariVudovi.exe"
expect_marks "$out/work.png" "at work"
expect "$(open_button 1 "$profile/tool")" "$user_win\\$tag\\work" "the %USERPROFILE% button's folder, carried"
expect "$(open_button 2 "$app/apps/x")" "$WORK_DRIVE:\\Portable\\Vantri\\apps" "the .\\apps button's folder, carried"
expect "$(open_button 4 "$app/apps/dropped")" "$WORK_DRIVE:\\Portable\\Vantri\\apps" "the dropped button, carried"
quit
expect "$(ini Page1 BtnFP1)" "%USERPROFILE%\\$tag\\tool.bat" "the file keeps the variable"
expect "$(ini Page1 WD1)" "%USERPROFILE%\\$tag\\work" "and the working folder's"
expect "$(ini Page1 BtnFP2)" '.\apps\x.bat' "the file keeps the relative path"
echo "screenshots: $out/home.png $out/work.png"
echo "portable paths passed"
