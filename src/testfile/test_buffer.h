#pragma once
// The one process-wide test buffer: the last test file read, whole, with its
// size beside it. Header, point records and tail are picked out of it at fixed
// offsets; nothing else holds a parsed test.
#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>

namespace lekta {

constexpr std::size_t kTestBufferSize = 1'024'000;

// An index outside a table or outside the buffer: the operation that needed
// the value is abandoned.
class RangeError : public std::runtime_error {
public:
    RangeError() : std::runtime_error("Range check error") {}
};

// A read that failed after the file was opened.
class InOutError : public std::runtime_error {
public:
    explicit InOutError(int code);
    int code() const { return code_; }

private:
    int code_;
};

struct TestBuffer {
    unsigned char bytes[kTestBufferSize];
    std::int32_t size = 0;  // bytes in the file read last
    // Bytes past this count are known to be spaces, so a reset only has to
    // clear what the previous read touched.
    std::size_t dirty = kTestBufferSize;
};
TestBuffer& test_buffer();

// Header fields.
enum HeaderOffset : std::size_t {
    kModelIndex = 4, kSeries = 5, kTestNo = 6, kMode = 7, kNoCurve = 8, kShape = 9,
    kRate = 10, kSize1 = 12, kSize2 = 14, kArea = 16,
    kDay = 18, kMonth = 19, kYear = 20, kHour = 21, kMinute = 22, kSecond = 23,
    kGaugeBase = 25,
};

constexpr int kExtensometerMode = 2;

// Fills the buffer with spaces and reads the file into it, read-only.
// False when the file cannot be opened or is not a regular file; an error
// while reading an opened file throws InOutError.
bool read_test_file(const std::string& path);

// As read_test_file, but only the header and the tail land in the buffer,
// at their places; everything between stays spaces. The catalogue needs no
// more, and skipping the point records makes listing a folder of long tests
// as quick as opening its files.
bool read_test_summary(const std::string& path);

std::uint8_t read_byte(std::size_t offset);
std::uint16_t read_word(std::size_t offset);

bool is_extensometer_layout();

// Tail fields, located from the end of the file by the active layout.
enum class Tail { PointCount, YieldStress, YieldLoad, TensileStrength, BreakingLoad, ProofLoad, ProofStress };
// The distance k from the end (field at size - k) in the given layout;
// RangeError for a field the layout does not have.
std::size_t tail_distance(Tail field, bool extensometer);
std::uint32_t tail_u32(Tail field);
std::int32_t point_count();

// Point record i of the active layout; RangeError when it would run past the buffer.
struct PointRecord {
    std::int32_t f;   // N
    std::int32_t h;   // micrometres
    std::int32_t he;  // tenths of a micrometre (extensometer layout only, else 0)
};
PointRecord point_record(std::int32_t i);

std::string date_text();
std::string time_text();
// RangeError for an index outside the table.
const std::string& mode_text(unsigned mode);
const std::string& shape_text(unsigned shape);

}  // namespace lekta
