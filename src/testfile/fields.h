#pragma once
// The fields of the test in the test buffer, at the offsets the instrument
// writes them: header from the start, point records after it, tail from the
// end. Two layouts: the standard one (mode 0 or 1) and the extensometer one
// (mode 2), which adds the gauge base, an extensometer reading per point and
// two results, and starts its point records one byte earlier.
#include <cstddef>
#include <cstdint>
#include <string>

namespace lekta {

enum HeaderOffset : std::size_t {
    kModelIndex = 4,
    kSeries = 5,
    kTestNo = 6,
    kMode = 7,
    kNoCurve = 8,
    kShape = 9,
    kRate = 10,
    kSize1 = 12,
    kSize2 = 14,
    kArea = 16,
    kDay = 18,
    kMonth = 19,
    kYear = 20,
    kHour = 21,
    kMinute = 22,
    kSecond = 23,
    kGaugeBase = 25,
};

constexpr int kExtensometerMode = 2;

std::uint8_t read_byte(std::size_t offset);
// The unsigned 16-bit header value at offset (low byte first).
std::uint16_t read_word(std::size_t offset);

bool is_extensometer_layout();

// Tail fields, located from the end of the file by the active layout.
enum class Tail {
    PointCount,
    YieldStress,
    YieldLoad,
    TensileStrength,
    BreakingLoad,
    ProofLoad,
    ProofStress
};
// The distance k from the end (field at size - k) in the given layout;
// RangeError for a field the layout does not have.
std::size_t tail_distance(Tail field, bool extensometer);
// RangeError when the field lies outside the file or the buffer.
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
