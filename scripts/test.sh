#!/usr/bin/env bash
# Sets up, builds and runs every test: once under neutral settings (a decimal
# point) and once under Russian regional settings (a decimal comma).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
bash scripts/build.sh
export QT_QPA_PLATFORM=offscreen
echo "== tests under C.UTF-8"
LANG=C.UTF-8 LC_ALL=C.UTF-8 ctest --test-dir build --output-on-failure -j2 --timeout 300
echo "== tests under ru_RU.UTF-8"
LANG=ru_RU.UTF-8 LC_ALL=ru_RU.UTF-8 ctest --test-dir build --output-on-failure -j2 --timeout 300
