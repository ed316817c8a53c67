#!/usr/bin/env bash
# Installs the build into a temporary folder (DESTDIR), checks the installed
# files, and starts the installed program on sample tests.
#   install_and_start.sh BUILD PREFIX LIBRARY_DIR HELP_DIR DATA_DIR SAMPLE_MAKER
set -euo pipefail
build=$1 prefix=$2 libdir=$3 helpdir=$4 datadir=$5 samples=$6
source "$(dirname "$0")/start_installed.sh"

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
echo "== installing into $tmp/root"
DESTDIR="$tmp/root" cmake --install "$build" >/dev/null
root="$tmp/root$prefix"

need_file "$root/bin/lekta"
need_file "$root/$libdir/libgetnumcom.so"
[ ! -e "$root/bin/libgetnumcom.so" ] || fail "the library is installed beside the program"
need_file "$root/$datadir/applications/lekta.desktop"
for size in 16 32 48 64 128 256; do
  need_file "$root/$datadir/icons/hicolor/${size}x${size}/apps/lekta.png"
done
need_file "$root/$helpdir/index.html"
check_help_pictures "$root/$helpdir/index.html"

start_installed "$root" "$libdir" "$helpdir" "$samples" "$tmp/work"
