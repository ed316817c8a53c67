#include "testfile/fields.h"

#include "testfile/buffer.h"
#include "testfile/errors.h"

namespace lekta {

std::uint8_t read_byte(std::size_t offset)
{
    return test_buffer().byte(offset);
}

std::uint16_t read_word(std::size_t offset)
{
    if (offset + 1 >= kTestBufferSize)
        throw RangeError();
    const auto* p = test_buffer().bytes() + offset;
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

bool is_extensometer_layout()
{
    return test_buffer().bytes()[kMode] == kExtensometerMode;
}

std::size_t tail_distance(Tail field, bool extensometer)
{
    switch (field) {
    case Tail::PointCount: return extensometer ? 30 : 22;
    case Tail::YieldStress: return extensometer ? 26 : 18;
    case Tail::YieldLoad: return extensometer ? 22 : 14;
    case Tail::TensileStrength: return extensometer ? 18 : 10;
    case Tail::BreakingLoad: return extensometer ? 14 : 6;
    case Tail::ProofLoad:
        if (extensometer)
            return 10;
        break;
    case Tail::ProofStress:
        if (extensometer)
            return 6;
        break;
    }
    throw RangeError();
}

namespace {

std::uint32_t u32_at_tail(std::size_t k)
{
    const TestBuffer& b = test_buffer();
    const auto size = static_cast<std::int64_t>(b.size());
    const std::int64_t at = size - static_cast<std::int64_t>(k);
    if (at < 0 || at + 4 > static_cast<std::int64_t>(kTestBufferSize))
        throw RangeError();
    const auto* p = b.bytes() + at;
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

std::int32_t i32_at(const unsigned char* p)
{
    return static_cast<std::int32_t>(
        static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
        (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24));
}

std::string two_digits(unsigned v)
{
    std::string s = std::to_string(v);
    return v < 10 ? "0" + s : s;
}

}  // namespace

std::uint32_t tail_u32(Tail field)
{
    return u32_at_tail(tail_distance(field, is_extensometer_layout()));
}

std::int32_t point_count()
{
    return static_cast<std::int32_t>(tail_u32(Tail::PointCount));
}

PointRecord point_record(std::int32_t i)
{
    if (i < 0)
        throw RangeError();
    const bool ext = is_extensometer_layout();
    const std::size_t base = (ext ? 27 : 28) + 16 * static_cast<std::size_t>(i);
    if (base + 16 > kTestBufferSize)
        throw RangeError();
    const unsigned char* p = test_buffer().bytes() + base;
    if (ext)
        return {i32_at(p + 4), i32_at(p + 8), i32_at(p)};
    return {i32_at(p), i32_at(p + 4), 0};
}

std::string date_text()
{
    const TestBuffer& b = test_buffer();
    const unsigned day = b.bytes()[kDay], month = b.bytes()[kMonth], year = b.bytes()[kYear];
    std::string s = (day >= 1 && day <= 31) ? two_digits(day) + "." : "01.";
    s += (month >= 1 && month <= 12) ? two_digits(month) + "." : "01.";
    s += std::to_string(2000 + year);
    return s;
}

std::string time_text()
{
    const TestBuffer& b = test_buffer();
    const unsigned hour = b.bytes()[kHour], minute = b.bytes()[kMinute],
                   second = b.bytes()[kSecond];
    std::string s = hour <= 23 ? two_digits(hour) + ":" : "00:";
    s += minute <= 59 ? two_digits(minute) + ":" : "00:";
    s += second <= 59 ? two_digits(second) : "00";
    return s;
}

const std::string& mode_text(unsigned mode)
{
    static const std::string texts[] = {"Растяжение", "Сжатие", "Растяжение"};
    if (mode > 2)
        throw RangeError();
    return texts[mode];
}

const std::string& shape_text(unsigned shape)
{
    static const std::string texts[] = {"Круг", "Полоса", "Арматура", "Образец"};
    if (shape > 3)
        throw RangeError();
    return texts[shape];
}

}  // namespace lekta
