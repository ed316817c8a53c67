#pragma once
// Writing test files (*.bmd) the way the instrument stores them, for sample
// folders, tests and benchmarks. The workstation itself only reads them.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace lekta::tools {

// One recorded point: load in newtons, machine travel in micrometres,
// extensometer deformation in tenths of a micrometre (extensometer layout only).
struct BmdPoint {
    std::int32_t f = 0;
    std::int32_t h = 0;
    std::int32_t he = 0;
};

// A test as the instrument describes it, in the file's own units.
struct BmdTest {
    std::uint8_t model_index = 0;  // 0..4: 50, 100, 200, 300, 500 kN frames
    std::uint8_t series = 0;
    std::uint8_t test_no = 0;
    std::uint8_t mode = 0;      // 0 tension, 1 compression, 2 tension with extensometer
    std::uint8_t no_curve = 0;  // 1: stored without points
    std::uint8_t shape = 0;     // 0 round bar, 1 strip, 2 rebar, 3 other specimen
    std::uint16_t rate = 0;     // tenths of МПа/с (or мм/мин, кН/с without curve)
    std::uint16_t size1 = 0;    // diameter or width, tenths of a millimetre
    std::uint16_t size2 = 0;    // thickness, tenths of a millimetre
    std::uint16_t area = 0;     // tenths of a square millimetre
    std::uint8_t day = 1, month = 1, year = 12;  // year minus 2000
    std::uint8_t hour = 0, minute = 0, second = 0;
    std::uint16_t gauge_base = 0;  // hundredths of a millimetre, extensometer layout only
    std::vector<BmdPoint> points;
    // Results: stresses in МПа × 1000, loads in newtons.
    std::uint32_t yield_stress = 0;
    std::uint32_t yield_load = 0;
    std::uint32_t tensile_strength = 0;
    std::uint32_t breaking_load = 0;
    std::uint32_t proof_load = 0;    // extensometer layout only
    std::uint32_t proof_stress = 0;  // extensometer layout only
};

constexpr std::size_t kBmdBufferSize = 1'024'000;  // what the workstation reads of a file
constexpr std::size_t kBmdRecordSize = 16;
constexpr std::size_t kStandardRecordStart = 28;
constexpr std::size_t kExtensometerRecordStart = 27;
constexpr std::size_t kStandardTailSize = 22;
constexpr std::size_t kExtensometerTailSize = 30;
constexpr int kExtensometerModeValue = 2;

bool uses_extensometer_layout(const BmdTest& t);
// Bytes of the encoded file: header, records, tail.
std::size_t encoded_size(const BmdTest& t);
std::size_t encoded_size(bool extensometer, std::size_t points);
// The most points a file of that layout can hold and still be read whole
// into the workstation's buffer (63,996 in the standard layout).
std::size_t max_points(bool extensometer);

// The file's bytes, little-endian; every byte the workstation does not read is zero.
std::vector<unsigned char> encode_bmd(const BmdTest& t);

// Writes bytes to path, replacing the file; false on any failure.
bool write_bytes(const std::string& path, const std::vector<unsigned char>& bytes);
bool write_bmd(const std::string& path, const BmdTest& t);

}  // namespace lekta::tools
