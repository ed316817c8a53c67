#!/usr/bin/env bash
# Builds everything with sanitizers into a folder of its own and runs the
# whole suite there, widgets offscreen included, under Russian regional
# settings:
#
#   bash scripts/sanitize.sh           AddressSanitizer and UndefinedBehaviorSanitizer, build-asan/
#   bash scripts/sanitize.sh thread    ThreadSanitizer, build-tsan/
#
# A memory error, a leak or undefined behaviour fails the test that met it.
# The run-time options and suppressions come from cmake/LektaSanitize.cmake
# and tests/sanitizers/.
set -euo pipefail
cd "$(dirname "$0")/.."
kind=${1:-address}
case "$kind" in
  address) sanitizers=address,undefined; build=build-asan ;;
  thread) sanitizers=thread; build=build-tsan ;;
  *) echo "usage: $0 [address|thread]" >&2; exit 2 ;;
esac
bash scripts/setup.sh
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLEKTA_SANITIZE="$sanitizers" >/dev/null
# The test discovery at build time runs the test programs: same options.
source "$build/sanitizer.env"
start=$SECONDS
cmake --build "$build" -j"$(nproc)"
echo "== build with -fsanitize=$sanitizers took $((SECONDS - start)) s"
export QT_QPA_PLATFORM=offscreen
echo "== tests with -fsanitize=$sanitizers under ru_RU.UTF-8"
start=$SECONDS
LANG=ru_RU.UTF-8 LC_ALL=ru_RU.UTF-8 ctest --test-dir "$build" --output-on-failure -j2 --timeout 600
echo "== tests with -fsanitize=$sanitizers took $((SECONDS - start)) s"
