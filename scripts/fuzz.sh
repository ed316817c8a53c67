#!/usr/bin/env bash
# Builds the fuzz targets with clang and libFuzzer into build-fuzz/ and runs
# each for a bounded time, starting from its committed seed corpus
# (tests/fuzz/corpus/<target>) and the inputs that once failed
# (tests/fuzz/regressions/<target>). A crash, a leak, undefined behaviour or
# a broken check fails the script; the input is kept in
# build-fuzz/crashes/<target>/ and belongs in tests/fuzz/regressions/<target>/
# once the fault is fixed, where the normal suite replays it.
#
#   LEKTA_FUZZ_SECONDS   seconds per target (default 60; 0 skips the runs)
#   LEKTA_FUZZ_TARGETS   targets to run (default: all four)
#
# bash scripts/fuzz.sh --coverage reports the line and branch coverage of
# the project's code reached by the corpora (build-fuzz/corpus, the seeds
# and the regressions), from a build with clang's coverage in build-fuzz-cov/.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh

seconds=${LEKTA_FUZZ_SECONDS:-60}
targets=${LEKTA_FUZZ_TARGETS:-"test_file link_protocol number curve"}
build=build-fuzz

corpus_dirs() {
  local t=$1
  [ -d "$build/corpus/$t" ] && echo "$build/corpus/$t"
  echo "tests/fuzz/corpus/$t"
  [ -d "tests/fuzz/regressions/$t" ] && echo "tests/fuzz/regressions/$t"
  return 0
}

if [ "${1:-}" = "--coverage" ]; then
  cov=build-fuzz-cov
  cmake -S . -B "$cov" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DLEKTA_FUZZ=ON \
        -DCMAKE_CXX_FLAGS="-fprofile-instr-generate -fcoverage-mapping" \
        -DCMAKE_EXE_LINKER_FLAGS="-fprofile-instr-generate" >/dev/null
  fuzzers=()
  for t in $targets; do fuzzers+=("fuzz_$t"); done
  cmake --build "$cov" -j"$(nproc)" --target "${fuzzers[@]}" >/dev/null
  sources=(src/testfile/*.cpp src/app/catalogue_texts.cpp src/online/link_protocol.cpp src/graph/curve_loader.cpp
           src/analysis/*.cpp)
  for t in $targets; do
    rm -f "$cov/$t.profraw"
    mapfile -t dirs < <(corpus_dirs "$t")
    LLVM_PROFILE_FILE="$cov/$t.profraw" "$cov/bin/fuzz_$t" -runs=0 "${dirs[@]}" >/dev/null 2>&1
    llvm-profdata-14 merge -o "$cov/$t.profdata" "$cov/$t.profraw"
    echo "== coverage of fuzz_$t"
    llvm-cov-14 report "$cov/bin/fuzz_$t" -instr-profile="$cov/$t.profdata" "${sources[@]}"
  done
  exit 0
fi

if [ "$seconds" -le 0 ]; then
  echo "== fuzzing skipped (LEKTA_FUZZ_SECONDS=$seconds)"
  exit 0
fi
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DLEKTA_FUZZ=ON >/dev/null
fuzzers=()
for t in $targets; do fuzzers+=("fuzz_$t"); done
start=$SECONDS
cmake --build "$build" -j"$(nproc)" --target "${fuzzers[@]}"
echo "== fuzz build took $((SECONDS - start)) s"

# Readable stacks in a crash report.
if command -v llvm-symbolizer-14 >/dev/null; then
  export ASAN_SYMBOLIZER_PATH=$(command -v llvm-symbolizer-14)
fi
export ASAN_OPTIONS=detect_leaks=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

# The longest input a target takes: a test file of a few hundred points; a
# link script of a few dozen responses.
max_len() {
  case "$1" in
    test_file | curve) echo 16384 ;;
    link_protocol) echo 16384 ;;
    *) echo 256 ;;
  esac
}

failed=0
for t in $targets; do
  work="$build/corpus/$t"
  crashes="$build/crashes/$t"
  mkdir -p "$work" "$crashes"
  mapfile -t dirs < <(corpus_dirs "$t")
  echo "== fuzz_$t for ${seconds}s"
  log="$build/fuzz_$t.log"
  if "$build/bin/fuzz_$t" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len="$(max_len "$t")" \
       -print_final_stats=1 -artifact_prefix="$crashes/" "${dirs[@]}" >"$log" 2>&1; then
    grep -E '^(#[0-9]+.*DONE|stat::number_of_executed_units|stat::average_exec_per_sec|stat::new_units_added|stat::peak_rss_mb)' "$log" || true
  else
    failed=1
    echo "fuzz_$t FAILED; its report:"
    tail -60 "$log"
    ls -1 "$crashes" | sed "s|^|  input: $crashes/|"
  fi
done
exit $failed
