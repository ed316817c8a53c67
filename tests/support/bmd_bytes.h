#pragma once
// Test files byte by byte, at the offsets the instrument writes them, kept
// apart from the sample generator so reader and writer cannot share a mistake.
#include <climits>
#include <cstdint>
#include <vector>

namespace lekta::testing {

struct RawTest {
    std::uint8_t model = 0, series = 1, test_no = 1, mode = 0, no_curve = 0, shape = 0;
    std::uint16_t rate = 125, size1 = 100, size2 = 0, area = 785;
    std::uint8_t day = 5, month = 3, year = 12, hour = 9, minute = 5, second = 0;
    std::uint16_t gauge_base = 5000;
    struct Point {
        std::int32_t f, h, he;
    };
    std::vector<Point> points;
    std::int32_t point_count = INT32_MIN;  // INT32_MIN: the number of points
    std::uint32_t yield_stress = 0, yield_load = 0, tensile_strength = 0, breaking_load = 0;
    std::uint32_t proof_load = 0, proof_stress = 0;

    std::vector<unsigned char> bytes() const
    {
        const bool ext = mode == 2;
        const size_t base = ext ? 27 : 28;
        std::vector<unsigned char> b(base + 16 * points.size() + (ext ? 30 : 22), 0);
        auto put16 = [&](size_t o, std::uint16_t v) {
            b[o] = v & 0xFF;
            b[o + 1] = v >> 8;
        };
        auto put32 = [&](size_t o, std::uint32_t v) {
            for (int i = 0; i < 4; ++i)
                b[o + i] = (v >> (8 * i)) & 0xFF;
        };
        b[4] = model;
        b[5] = series;
        b[6] = test_no;
        b[7] = mode;
        b[8] = no_curve;
        b[9] = shape;
        put16(10, rate);
        put16(12, size1);
        put16(14, size2);
        put16(16, area);
        b[18] = day;
        b[19] = month;
        b[20] = year;
        b[21] = hour;
        b[22] = minute;
        b[23] = second;
        if (ext)
            put16(25, gauge_base);
        for (size_t i = 0; i < points.size(); ++i) {
            const size_t o = base + 16 * i;
            if (ext) {
                put32(o, static_cast<std::uint32_t>(points[i].he));
                put32(o + 4, static_cast<std::uint32_t>(points[i].f));
                put32(o + 8, static_cast<std::uint32_t>(points[i].h));
            } else {
                put32(o, static_cast<std::uint32_t>(points[i].f));
                put32(o + 4, static_cast<std::uint32_t>(points[i].h));
            }
        }
        const size_t size = b.size();
        const std::int32_t n = point_count != INT32_MIN ? point_count
                                                        : static_cast<std::int32_t>(points.size());
        if (ext) {
            put32(size - 30, static_cast<std::uint32_t>(n));
            put32(size - 26, yield_stress);
            put32(size - 22, yield_load);
            put32(size - 18, tensile_strength);
            put32(size - 14, breaking_load);
            put32(size - 10, proof_load);
            put32(size - 6, proof_stress);
        } else {
            put32(size - 22, static_cast<std::uint32_t>(n));
            put32(size - 18, yield_stress);
            put32(size - 14, yield_load);
            put32(size - 10, tensile_strength);
            put32(size - 6, breaking_load);
        }
        return b;
    }
};

}  // namespace lekta::testing
