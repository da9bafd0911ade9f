#!/usr/bin/env bash
# The shipped files: a test's copy of the program (tools/copy-shipped.sh) and the release
# archive made as tools/package.sh makes it hold exactly the shipped list, whatever else
# lies in the folder; the archive's .sha256 checks, and the program unpacked from it
# starts under Wine and ends from its tray menu.
# Usage: package.sh DIST_DIR VERSION DRIVER_EXE OUT_DIR
set -euo pipefail
dist=$1 version=$2 driver=$3 out=$4
here=$(cd "$(dirname "$0")" && pwd)
fail() {
  echo "FAIL: $*" >&2
  exit 1
}

rm -rf "$out" && mkdir -p "$out"
# What a launcher run from the folder, or a person, leaves beside the shipped files: a
# settings file, a log, a note, a folder of their own. None of it ships, and none of it
# reaches a test's copy of the program.
cp -r "$dist" "$out/dist"
printf '[Page1]\r\nName=private\r\n' >"$out/dist/RavariVudovi.ini"
echo 'private' >"$out/dist/ravarivudovi.INI"
echo 'trace' >"$out/dist/RavariVudovi.log"
mkdir -p "$out/dist/res/mine" && echo 'note' >"$out/dist/res/mine/note.txt"
echo 'note' >"$out/dist/help/notes.htm"
shipped=$(grep -v '^#' "$here/../../tools/shipped-files.txt" | grep . | sort)
[ "$(grep -c . <<<"$shipped")" -ge 4 ] || fail "the shipped list is short: [$shipped]"

"$here/../../tools/copy-shipped.sh" "$out/dist" "$out/copy"
copied=$(cd "$out/copy" && find . -type f | sed 's|^\./||' | sort)
[ "$copied" = "$shipped" ] || fail "a test's copy holds [$copied], the shipped list [$shipped]"
# A second copy over a folder in use keeps its settings file and renews the program.
echo 'mine' >"$out/copy/RavariVudovi.ini"
"$here/../../tools/copy-shipped.sh" "$out/dist" "$out/copy"
[ "$(cat "$out/copy/RavariVudovi.ini")" = mine ] || fail "a copy over a folder in use lost its settings file"
cmp "$dist/RavariVudovi.exe" "$out/copy/RavariVudovi.exe" || fail "the copy's program is not the built one"
rm "$out/dist/History.txt"
if "$here/../../tools/copy-shipped.sh" "$out/dist" "$out/short" 2>/dev/null; then fail "a copy without History.txt succeeded"; fi
cp "$dist/History.txt" "$out/dist/"

python3 "$here/../../tools/package.py" "$out/dist" "$version" "$out" >/dev/null
zip=$out/VantriLaunch-$version-win-x64.zip
[ -f "$zip" ] || fail "no $zip"
(cd "$out" && sha256sum --check --quiet "$(basename "$zip").sha256") || fail "the SHA-256 does not check"

in_zip=$(python3 -c 'import sys, zipfile; print("\n".join(sorted(zipfile.ZipFile(sys.argv[1]).namelist())))' "$zip")
[ "$in_zip" = "$(sed "s|^|VantriLaunch-$version/|" <<<"$shipped")" ] || fail "the archive holds [$in_zip], the shipped list [$shipped]"
echo "archive $(basename "$zip"), $(stat -c %s "$zip") bytes:"
python3 -c 'import sys, zipfile
for i in zipfile.ZipFile(sys.argv[1]).infolist(): print(f"  {i.file_size:9d}  {i.filename}")' "$zip"

mkdir -p "$out/unpacked"
python3 -c 'import sys, zipfile; zipfile.ZipFile(sys.argv[1]).extractall(sys.argv[2])' "$zip" "$out/unpacked"
cmp "$dist/RavariVudovi.exe" "$out/unpacked/VantriLaunch-$version/RavariVudovi.exe" || fail "the program changed in the archive"
bash "$here/skeleton.sh" "$out/unpacked/VantriLaunch-$version" "$driver" "$out/started"
grep -q '^Name=NewPage' "$out/started/app/RavariVudovi.ini" || fail "the unpacked program did not start on a first-start page"
