#!/usr/bin/env bash
# Configures and builds everything into build/ (Ninja, release with debug info),
# with compile_commands.json for the checks (scripts/check.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
# Continuous integration (CI=true) fails on any compiler warning.
werror=OFF
[ "${CI:-}" = true ] && werror=ON
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLEKTA_WERROR=$werror >/dev/null
cmake --build build -j"$(nproc)"
