#!/usr/bin/env bash
# The release archive: made from the shipped folder as tools/package.sh makes it, it holds
# exactly the files of that folder under one top folder, its .sha256 checks, and the
# program unpacked from it starts under Wine and ends from its tray menu.
# Usage: package.sh DIST_DIR VERSION DRIVER_EXE OUT_DIR
set -euo pipefail
dist=$1 version=$2 driver=$3 out=$4
here=$(cd "$(dirname "$0")" && pwd)
fail() {
  echo "FAIL: $*" >&2
  exit 1
}

rm -rf "$out" && mkdir -p "$out"
# A settings file in the folder, as a launcher run from there leaves one: it must not ship.
cp -r "$dist" "$out/dist"
printf '[Page1]\r\nName=private\r\n' >"$out/dist/RavariVudovi.ini"
python3 "$here/../../tools/package.py" "$out/dist" "$version" "$out" >/dev/null
zip=$out/VantriLaunch-$version-win-x64.zip
[ -f "$zip" ] || fail "no $zip"
(cd "$out" && sha256sum --check --quiet "$(basename "$zip").sha256") || fail "the SHA-256 does not check"

in_zip=$(python3 -c 'import sys, zipfile; print("\n".join(sorted(zipfile.ZipFile(sys.argv[1]).namelist())))' "$zip")
in_dist=$(cd "$dist" && find . -type f ! -iname RavariVudovi.ini | sed "s|^\./|VantriLaunch-$version/|" | sort)
[ "$in_zip" = "$in_dist" ] || fail "the archive holds [$in_zip], the folder [$in_dist]"
echo "archive $(basename "$zip"), $(stat -c %s "$zip") bytes:"
python3 -c 'import sys, zipfile
for i in zipfile.ZipFile(sys.argv[1]).infolist(): print(f"  {i.file_size:9d}  {i.filename}")' "$zip"

mkdir -p "$out/unpacked"
python3 -c 'import sys, zipfile; zipfile.ZipFile(sys.argv[1]).extractall(sys.argv[2])' "$zip" "$out/unpacked"
cmp "$dist/RavariVudovi.exe" "$out/unpacked/VantriLaunch-$version/RavariVudovi.exe" || fail "the program changed in the archive"
bash "$here/skeleton.sh" "$out/unpacked/VantriLaunch-$version" "$driver" "$out/started"
grep -q '^Name=NewPage' "$out/started/app/RavariVudovi.ini" || fail "the unpacked program did not start on a first-start page"
