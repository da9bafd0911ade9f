#!/usr/bin/env bash
# Copies the shipped files of a built folder (tools/shipped-files.txt) into another
# folder, and nothing else: never a settings file, a log or whatever a person left there.
# Files already in DEST that are not shipped (the settings file of an earlier run) stay.
# Usage: copy-shipped.sh DIST_DIR DEST_DIR
set -euo pipefail
[ $# -eq 2 ] || { echo "usage: $0 DIST_DIR DEST_DIR" >&2; exit 2; }
dist=$1 dest=$2
list="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)/shipped-files.txt"
while IFS= read -r rel; do
  case $rel in '' | '#'*) continue ;; esac
  [ -f "$dist/$rel" ] || { echo "copy-shipped: $dist has no $rel: build the program first" >&2; exit 1; }
  mkdir -p "$dest/$(dirname "$rel")"
  cp -p "$dist/$rel" "$dest/$rel"
done <"$list"
