#!/usr/bin/env bash
# Sets up, builds in release mode into build-package/ and makes the Debian
# package build-package/lekta_<version>_<arch>.deb (installs under /usr).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake -S . -B build-package -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr >/dev/null
cmake --build build-package -j"$(nproc)"
rm -f build-package/lekta_*.deb
(cd build-package && cpack -G DEB)
ls build-package/lekta_*.deb
