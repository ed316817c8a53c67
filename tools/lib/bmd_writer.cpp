#include "lib/bmd_writer.h"

#include <cstdio>

namespace lekta::tools {

namespace {

void put_u16(std::vector<unsigned char>& b, std::size_t at, std::uint16_t v)
{
    b[at] = static_cast<unsigned char>(v & 0xFF);
    b[at + 1] = static_cast<unsigned char>(v >> 8);
}

void put_u32(std::vector<unsigned char>& b, std::size_t at, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        b[at + static_cast<std::size_t>(i)] = static_cast<unsigned char>((v >> (8 * i)) & 0xFF);
}

void put_i32(std::vector<unsigned char>& b, std::size_t at, std::int32_t v)
{
    put_u32(b, at, static_cast<std::uint32_t>(v));
}

}  // namespace

bool uses_extensometer_layout(const BmdTest& t)
{
    return t.mode == kExtensometerModeValue;
}

std::size_t encoded_size(bool extensometer, std::size_t points)
{
    return extensometer ? kExtensometerRecordStart + kBmdRecordSize * points + kExtensometerTailSize
                        : kStandardRecordStart + kBmdRecordSize * points + kStandardTailSize;
}

std::size_t encoded_size(const BmdTest& t)
{
    return encoded_size(uses_extensometer_layout(t), t.points.size());
}

std::size_t max_points(bool extensometer)
{
    const std::size_t fixed = encoded_size(extensometer, 0);
    return (kBmdBufferSize - fixed) / kBmdRecordSize;
}

std::vector<unsigned char> encode_bmd(const BmdTest& t)
{
    const bool ext = uses_extensometer_layout(t);
    std::vector<unsigned char> b(encoded_size(t), 0);

    b[4] = t.model_index;
    b[5] = t.series;
    b[6] = t.test_no;
    b[7] = t.mode;
    b[8] = t.no_curve;
    b[9] = t.shape;
    put_u16(b, 10, t.rate);
    put_u16(b, 12, t.size1);
    put_u16(b, 14, t.size2);
    put_u16(b, 16, t.area);
    b[18] = t.day;
    b[19] = t.month;
    b[20] = t.year;
    b[21] = t.hour;
    b[22] = t.minute;
    b[23] = t.second;
    if (ext)
        put_u16(b, 25, t.gauge_base);

    // Extensometer records start a byte earlier and carry He in front of F and H.
    const std::size_t start = ext ? kExtensometerRecordStart : kStandardRecordStart;
    for (std::size_t i = 0; i < t.points.size(); ++i) {
        const std::size_t at = start + kBmdRecordSize * i;
        const BmdPoint& p = t.points[i];
        if (ext) {
            put_i32(b, at, p.he);
            put_i32(b, at + 4, p.f);
            put_i32(b, at + 8, p.h);
        } else {
            put_i32(b, at, p.f);
            put_i32(b, at + 4, p.h);
        }
    }

    // The tail is the last bytes of the file; both layouts end with two unread bytes.
    std::size_t at = b.size() - (ext ? kExtensometerTailSize : kStandardTailSize);
    put_i32(b, at, static_cast<std::int32_t>(t.points.size()));
    at += 4;
    const std::uint32_t results[] = {t.yield_stress,  t.yield_load, t.tensile_strength,
                                     t.breaking_load, t.proof_load, t.proof_stress};
    const std::size_t n_results = ext ? 6 : 4;
    for (std::size_t i = 0; i < n_results; ++i, at += 4)
        put_u32(b, at, results[i]);
    return b;
}

bool write_bytes(const std::string& path, const std::vector<unsigned char>& bytes)
{
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    const bool ok = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}

bool write_bmd(const std::string& path, const BmdTest& t)
{
    return write_bytes(path, encode_bmd(t));
}

}  // namespace lekta::tools
