#!/usr/bin/env bash
# The menu entry passes desktop-file-validate without errors, warnings or
# hints, and starts the program by its installed name with its icon.
# Skipped (77) where desktop-file-utils is not installed.
set -euo pipefail
entry=$1
command -v desktop-file-validate >/dev/null || { echo "no desktop-file-validate: skipped"; exit 77; }
out=$(desktop-file-validate "$entry" 2>&1) || { echo "$out"; exit 1; }
[ -z "$out" ] || { echo "$out"; exit 1; }
for line in 'Name=ЛЕКТА-ЗИВ8' 'Exec=lekta' 'Icon=lekta' 'Type=Application'; do
  grep -qx "$line" "$entry" || { echo "missing: $line"; exit 1; }
done
