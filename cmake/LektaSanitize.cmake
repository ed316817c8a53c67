# Sanitizer builds, each in a build folder of its own (scripts/sanitize.sh):
#
#   -DLEKTA_SANITIZE=address,undefined   AddressSanitizer (with leak checks) and
#                                        UndefinedBehaviorSanitizer
#   -DLEKTA_SANITIZE=thread              ThreadSanitizer
#
# and the fuzz build (scripts/fuzz.sh), with clang:
#
#   -DLEKTA_FUZZ=ON                      libFuzzer programs fuzz_<target>
#                                        (tests/fuzz), AddressSanitizer and
#                                        UndefinedBehaviorSanitizer
#
# Everything the project builds is instrumented: libraries, the program, the
# port-lookup library, the tools and the tests. Qt, libxlsxwriter and the C++
# runtime come from Debian uninstrumented; the run-time options the tests
# need for that live in tests/sanitizers/ and reach every test through its
# environment (LEKTA_TEST_ENVIRONMENT, used by lekta_test_folder).
set(LEKTA_SANITIZE "" CACHE STRING "Sanitizers to build with: address,undefined or thread (empty: none)")
option(LEKTA_FUZZ "Build the libFuzzer programs (clang only)" OFF)

set(LEKTA_TEST_ENVIRONMENT "")
if(LEKTA_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    message(FATAL_ERROR "LEKTA_FUZZ needs clang: -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++")
  endif()
  if(LEKTA_SANITIZE)
    message(FATAL_ERROR "LEKTA_FUZZ brings its own sanitizers; leave LEKTA_SANITIZE empty")
  endif()
  # Everything gets the fuzzer's coverage counters; only the fuzz programs
  # link its main (tests/fuzz/CMakeLists.txt).
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined
                      -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
  return()
endif()
if(NOT LEKTA_SANITIZE)
  return()
endif()

string(REPLACE "," ";" _lekta_sanitizers "${LEKTA_SANITIZE}")
foreach(s IN LISTS _lekta_sanitizers)
  if(NOT s MATCHES "^(address|undefined|thread)$")
    message(FATAL_ERROR "LEKTA_SANITIZE: unknown sanitizer '${s}' (address, undefined, thread)")
  endif()
endforeach()
if("thread" IN_LIST _lekta_sanitizers AND "address" IN_LIST _lekta_sanitizers)
  message(FATAL_ERROR "LEKTA_SANITIZE: thread and address cannot be combined; build them in separate folders")
endif()

# -O1 and line tables only (after the build type's -O2 -g, so they win): a
# third less compile time, which CI pays on every run, and the sanitizers'
# reports still name file and line.
add_compile_options(-fsanitize=${LEKTA_SANITIZE} -fno-omit-frame-pointer -O1 -g1)
add_link_options(-fsanitize=${LEKTA_SANITIZE})
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
  # The sanitizers' checks confuse GCC's flow analysis: at -O1 it reports an
  # std::optional<QString> as maybe uninitialised where it cannot be. The
  # normal build keeps the warning.
  add_compile_options(-Wno-maybe-uninitialized)
endif()
if("undefined" IN_LIST _lekta_sanitizers)
  # Undefined behaviour stops the program, so a test that meets it fails
  # instead of printing a line nobody reads.
  add_compile_options(-fno-sanitize-recover=undefined)
endif()
# The standard library's own bounds checks (operator[] of vector, string,
# array, span) cost little next to the sanitizers and catch what the
# sanitizers cannot see inside a container's spare capacity.
add_compile_definitions(_GLIBCXX_ASSERTIONS)

set(_lekta_supp ${CMAKE_SOURCE_DIR}/tests/sanitizers)
set(LEKTA_ASAN_OPTIONS "detect_leaks=1:strict_init_order=1:check_initialization_order=1:detect_stack_use_after_return=1")
set(LEKTA_LSAN_OPTIONS "suppressions=${_lekta_supp}/lsan.supp:print_suppressions=0")
set(LEKTA_UBSAN_OPTIONS "print_stacktrace=1:halt_on_error=1")
set(LEKTA_TSAN_OPTIONS "suppressions=${_lekta_supp}/tsan.supp:halt_on_error=1:second_deadlock_stack=1")
set(LEKTA_TEST_ENVIRONMENT
    "ASAN_OPTIONS=${LEKTA_ASAN_OPTIONS}" "LSAN_OPTIONS=${LEKTA_LSAN_OPTIONS}"
    "UBSAN_OPTIONS=${LEKTA_UBSAN_OPTIONS}" "TSAN_OPTIONS=${LEKTA_TSAN_OPTIONS}")
message(STATUS "Sanitizers: ${LEKTA_SANITIZE}")

# The same options for whatever runs outside CTest's test environment: the
# test discovery at build time runs the test programs, and scripts/sanitize.sh
# sources this file before it builds.
file(WRITE ${CMAKE_BINARY_DIR}/sanitizer.env
     "export ASAN_OPTIONS='${LEKTA_ASAN_OPTIONS}'\n"
     "export LSAN_OPTIONS='${LEKTA_LSAN_OPTIONS}'\n"
     "export UBSAN_OPTIONS='${LEKTA_UBSAN_OPTIONS}'\n"
     "export TSAN_OPTIONS='${LEKTA_TSAN_OPTIONS}'\n")
