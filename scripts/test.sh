#!/usr/bin/env bash
# Sets up, builds and runs every test: once under neutral settings (a decimal
# point) and once under Russian regional settings (a decimal comma); then the
# whole suite again with AddressSanitizer and UndefinedBehaviorSanitizer
# (scripts/sanitize.sh, build-asan/), again with ThreadSanitizer
# (scripts/sanitize.sh thread, build-tsan/), and each fuzz target for a
# minute (scripts/fuzz.sh, build-fuzz/). The online window's soak (ten of
# the largest live tests in one window session, some five minutes) runs once,
# outside the suite. The checks of scripts/check.sh come after the build:
# the include order and the format always, cppcheck and clang-tidy with the
# rest. Continuous integration runs this.
#
# A failed step does not stop the later ones (a failed set-up or build
# does): the run ends with every failure known, and fails.
#
#   LEKTA_QUICK=1          only the build and the two runs of the suite
#   LEKTA_SOAK_RUNS=N      live tests in the soak (default 10)
#   LEKTA_FUZZ_SECONDS=N   seconds per fuzz target (default 60)
#   LEKTA_CHECK_FORMAT=1   the format check on (0: off), whatever the default below
set -euo pipefail
cd "$(dirname "$0")/.."

# The tree is in the format of .clang-format: the check is on by default.
format_check_default=1

times=()
failed=()
step() {
  local name=$1
  shift
  local start=$SECONDS result=ok
  "$@" || result=FAILED
  times+=("$(printf '%-28s %5d s  %s' "$name" $((SECONDS - start)) "$result")")
  if [ "$result" != ok ]; then
    failed+=("$name")
  fi
}
report() {
  echo "== time of each step"
  printf '  %s\n' "${times[@]}"
}
trap report EXIT

suite() {
  echo "== tests under $1"
  LANG=$1 LC_ALL=$1 ctest --test-dir build --output-on-failure -j2 --timeout 300 -LE soak
}
soak() {
  echo "== the online window's soak"
  LANG=ru_RU.UTF-8 LC_ALL=ru_RU.UTF-8 ctest --test-dir build --output-on-failure -L soak --verbose
}

step "set-up" bash scripts/setup.sh
step "build" bash scripts/build.sh
[ ${#failed[@]} -eq 0 ] || exit 1
step "include order" bash scripts/check.sh includes
if [ "${LEKTA_CHECK_FORMAT:-$format_check_default}" != 0 ]; then
  step "format" bash scripts/check.sh format
fi
export QT_QPA_PLATFORM=offscreen
step "tests under C.UTF-8" suite C.UTF-8
step "tests under ru_RU.UTF-8" suite ru_RU.UTF-8
if [ "${LEKTA_QUICK:-0}" != 1 ]; then
  step "cppcheck" bash scripts/check.sh cppcheck
  step "clang-tidy" bash scripts/check.sh tidy
  step "online soak" soak
  step "ASan+UBSan build and tests" bash scripts/sanitize.sh
  step "TSan build and tests" bash scripts/sanitize.sh thread
  step "fuzzing" bash scripts/fuzz.sh
fi
if [ ${#failed[@]} -gt 0 ]; then
  echo "== failed: ${failed[*]}"
  exit 1
fi
