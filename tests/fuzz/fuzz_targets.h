#pragma once
// The fuzz targets: each takes one input of arbitrary bytes and returns 0.
// A target that finds the code under test misbehaving (a result that breaks
// what the code promises, an exception it must not throw) reports it and
// aborts, which libFuzzer counts as a crash and the corpus replay in the
// normal suite as a failed test. Memory errors and undefined behaviour are
// left to the sanitizers of the build the target runs in.
#include <cstddef>
#include <cstdint>

namespace lekta::fuzz {

// The test file reader, the catalogue row texts and the point records the
// graph loader reads, fed the input as the bytes of a test file.
int test_file(const std::uint8_t* data, std::size_t size);

// The link protocol engine, fed the input as a script of received chunks,
// clock advances that fire its three timers, and the window's show and close.
int link_protocol(const std::uint8_t* data, std::size_t size);

// The graph loader's read_curve and the results engine's analysis of the
// test in the buffer, fed the input as the bytes of a test file.
int curve(const std::uint8_t* data, std::size_t size);

// parse_number and number_text (and the integer texts beside them) under a
// decimal point and a decimal comma.
int number(const std::uint8_t* data, std::size_t size);

struct Target {
    const char* name;  // the corpus folder's name under tests/fuzz/corpus/
    int (*run)(const std::uint8_t* data, std::size_t size);
};
inline constexpr Target kTargets[] = {
    {"test_file", &test_file},
    {"link_protocol", &link_protocol},
    {"number", &number},
    {"curve", &curve},
};

}  // namespace lekta::fuzz
