#!/usr/bin/env bash
# Builds the Debian package from the build folder, checks its fields and
# contents, and starts the program unpacked from it.
#   package_contents.sh BUILD VERSION LIBRARY_DIR HELP_DIR SAMPLE_MAKER
# Skipped (77) where the Debian tools are not installed.
set -euo pipefail
build=$1 version=$2 libdir=$3 helpdir=$4 samples=$5
source "$(dirname "$0")/start_installed.sh"
for tool in dpkg-deb dpkg-shlibdeps cpack; do
  command -v "$tool" >/dev/null || { echo "no $tool: skipped"; exit 77; }
done

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
echo "== packaging into $tmp/out"
cpack -G DEB --config "$build/CPackConfig.cmake" -B "$tmp/out" >"$tmp/cpack.log" 2>&1 || {
  cat "$tmp/cpack.log" >&2
  fail "cpack failed"
}
debs=("$tmp"/out/lekta_*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || fail "expected one lekta_*.deb, found: ${debs[*]}"
deb=${debs[0]}
case "$(basename "$deb")" in
  "lekta_${version}_"*.deb) ;;
  *) fail "package file name $(basename "$deb") does not carry version $version" ;;
esac

field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = lekta ] || fail "Package: $(field Package)"
[ "$(field Version)" = "$version" ] || fail "Version: $(field Version)"
[ "$(field Section)" = science ] || fail "Section: $(field Section)"
[ -n "$(field Maintainer)" ] || fail "no Maintainer"
[ -n "$(field Description)" ] || fail "no Description"
depends=$(field Depends)
for dep in libqt6widgets6 libqt6gui6 libqt6core6 libxlsxwriter qt6-translations-l10n libc6; do
  grep -q "$dep" <<<"$depends" || fail "Depends lacks $dep: $depends"
done

contents=$(dpkg-deb --contents "$deb")
for f in ./usr/bin/lekta "./usr/$libdir/libgetnumcom.so" ./usr/share/applications/lekta.desktop \
         ./usr/share/icons/hicolor/48x48/apps/lekta.png ./usr/share/icons/hicolor/256x256/apps/lekta.png \
         "./usr/$helpdir/index.html"; do
  grep -qE " $f\$" <<<"$contents" || fail "the package lacks $f"
done
outside=$(awk '{print $6}' <<<"$contents" | grep -v '^\./usr/' || true)
[ -z "$outside" ] || fail "the package installs outside /usr: $outside"

dpkg-deb -x "$deb" "$tmp/unpacked"
check_help_pictures "$tmp/unpacked/usr/$helpdir/index.html"
start_installed "$tmp/unpacked/usr" "$libdir" "$helpdir" "$samples" "$tmp/work"
