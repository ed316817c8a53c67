#!/usr/bin/env bash
# Installs what the workstation needs to build, run and test on Debian 12.
# Safe to run again: apt skips what is already there.
set -euo pipefail
# qt6-translations-l10n: Qt's own dialogs and buttons in Russian; dpkg-dev and
# file: the package's dependencies (dpkg-shlibdeps); desktop-file-utils: the
# menu entry's check; poppler-utils: the printing tests read the PDF files
# back; clang and libclang-rt-14-dev: the fuzz targets
# (libFuzzer and clang's sanitizers, scripts/fuzz.sh); llvm-14: the
# symbolizer that names the lines of a fuzzing crash, and llvm-cov; openbox
# and x11-utils (xprop): the windows' test under a real window manager
# (tests/wm/, on Xvfb); clang-format, clang-tidy and cppcheck: the checks of
# scripts/check.sh.
packages=(build-essential cmake ninja-build pkg-config libgtest-dev libgmock-dev libbenchmark-dev
          qt6-base-dev libqt6opengl6-dev qt6-charts-dev libxlsxwriter-dev zlib1g-dev libzip-dev
          fonts-dejavu-core xvfb xauth locales qt6-translations-l10n dpkg-dev file desktop-file-utils
          poppler-utils clang libclang-rt-14-dev llvm-14 openbox x11-utils clang-format clang-tidy cppcheck)
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get update -qq
  $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# The operators run Russian regional settings; the tests run under them too.
if ! locale -a 2>/dev/null | grep -qi '^ru_RU\.utf-\?8$'; then
  $sudo sed -i 's/^# *\(ru_RU.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  grep -q '^ru_RU.UTF-8 UTF-8' /etc/locale.gen || echo 'ru_RU.UTF-8 UTF-8' | $sudo tee -a /etc/locale.gen >/dev/null
  $sudo locale-gen >/dev/null
fi
