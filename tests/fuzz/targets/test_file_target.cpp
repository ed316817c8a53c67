// The input is a test file. It is read as the catalogue reads it (header and
// tail) and as the graph opener reads it (whole), the catalogue row is built
// from each, and every point record of the layout the header names is read
// through the fields API as the graph loader reads them, within the buffer.
//
// What must hold, whatever the bytes:
// - the buffer holds the file's bytes where the read put them and spaces
//   everywhere else (a reset that left bytes of the previous, longer file
//   would show a wrong curve);
// - a row is built or RangeError is thrown, nothing else; the header-and-tail
//   read gives the same row as the whole read;
// - a point record inside the file is the file's bytes at its place, one in
//   the buffer past the file reads spaces, and one past the buffer is refused.
#include "fuzz/fuzz_check.h"
#include "fuzz/fuzz_targets.h"
#include "fuzz/memory_file.h"

#include "app/catalogue_texts.h"
#include "testfile/buffer.h"
#include "testfile/errors.h"
#include "testfile/fields.h"
#include "testfile/reader.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

namespace lekta::fuzz {

namespace {

constexpr std::size_t kHeader = 28;  // bytes the header read takes
constexpr std::size_t kTail = 30;    // bytes the tail read takes (the extensometer tail)

bool valid_utf8(const std::string& s)
{
    std::size_t i = 0;
    while (i < s.size()) {
        const auto c = static_cast<unsigned char>(s[i]);
        const std::size_t n = c < 0x80         ? 1
                              : (c >> 5) == 6  ? 2
                              : (c >> 4) == 14 ? 3
                              : (c >> 3) == 30 ? 4
                                               : 0;
        if (n == 0 || i + n > s.size())
            return false;
        for (std::size_t k = 1; k < n; ++k)
            if ((static_cast<unsigned char>(s[i + k]) >> 6) != 2)
                return false;
        i += n;
    }
    return true;
}

// The row of the file in the buffer, or nothing when the file is damaged.
// Any exception but RangeError is a fault.
std::optional<CatalogueRow> row_of_buffer()
{
    try {
        CatalogueRow row = catalogue_row("fuzz.bmd");
        for (const std::string& cell : row.cells)
            LEKTA_FUZZ_CHECK(valid_utf8(cell), "a cell text is not UTF-8: %s", cell.c_str());
        LEKTA_FUZZ_CHECK(row.extensometer == (read_byte(kMode) == kExtensometerMode),
                         "layout flag wrong");
        return row;
    } catch (const RangeError&) {
        return std::nullopt;
    }
}

// Bytes [from, to) of the buffer equal `want` (spaces where want is null).
// memcmp first: it is quick; the first differing byte is named only then.
void check_range(std::size_t from, std::size_t to, const std::uint8_t* want, const char* what)
{
    if (from >= to)
        return;
    static const std::vector<std::uint8_t> spaces(kTestBufferSize, 0x20);
    const unsigned char* have = test_buffer().bytes() + from;
    const std::uint8_t* expected = want ? want : spaces.data();
    if (std::memcmp(have, expected, to - from) == 0)
        return;
    std::size_t i = 0;
    while (have[i] == expected[i])
        ++i;
    LEKTA_FUZZ_CHECK(false, "%s: buffer byte %zu is %u, expected %u", what, from + i, have[i],
                     expected[i]);
}

// The whole read: block after block from the start of the buffer, so a file
// longer than the buffer leaves its last lap over the earlier ones.
void check_whole_read(const std::uint8_t* data, std::size_t size)
{
    const TestBuffer& b = test_buffer();
    LEKTA_FUZZ_CHECK(b.size() == static_cast<std::int32_t>(size), "size %d for a file of %zu bytes",
                     b.size(), size);
    if (size <= kTestBufferSize) {
        check_range(0, size, data, "whole read");
        check_range(size, kTestBufferSize, nullptr, "past the file");
        return;
    }
    const std::size_t last_lap = (size - 1) / kTestBufferSize * kTestBufferSize;
    const std::size_t rest = size - last_lap;
    check_range(0, rest, data + last_lap, "whole read, last lap");
    check_range(rest, kTestBufferSize, data + last_lap - kTestBufferSize + rest,
                "whole read, lap before");
}

// The header-and-tail read: the first 28 bytes and the last 30 (not before
// the header's end) at their places, spaces elsewhere.
void check_summary_read(const std::uint8_t* data, std::size_t size)
{
    const TestBuffer& b = test_buffer();
    LEKTA_FUZZ_CHECK(b.size() == static_cast<std::int32_t>(size), "size %d for a file of %zu bytes",
                     b.size(), size);
    const std::size_t header_end = std::min(size, kHeader);
    std::size_t tail_from = size > kTail ? std::max(size - kTail, kHeader) : kHeader;
    if (size > kTestBufferSize)
        tail_from = size;  // no tail is read from a file the buffer cannot hold
    check_range(0, header_end, data, "header");
    check_range(header_end, std::min(tail_from, kTestBufferSize), nullptr,
                "between header and tail");
    check_range(tail_from, std::min(size, kTestBufferSize), data + tail_from, "tail");
    check_range(std::min(std::max(size, header_end), kTestBufferSize), kTestBufferSize, nullptr,
                "past the file");
}

std::int32_t le32(const unsigned char* p)
{
    return static_cast<std::int32_t>(std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 |
                                     std::uint32_t(p[2]) << 16 | std::uint32_t(p[3]) << 24);
}

// The point records as the graph loader reads them: the count from the tail,
// then record after record of the active layout while it lies in the buffer.
void check_point_records()
{
    std::int32_t count = 0;
    try {
        count = point_count();
    } catch (const RangeError&) {
        return;  // no tail: the loader has nothing to read
    }
    const bool ext = is_extensometer_layout();
    const std::size_t first = ext ? 27 : 28;
    const std::int32_t fit = static_cast<std::int32_t>((kTestBufferSize - first) / 16);
    const std::int32_t n = std::clamp(count, 0, fit);
    const unsigned char* bytes = test_buffer().bytes();
    // Records inside the file and the first beyond it are compared one by
    // one; the rest up to the count only read spaces, so the last one stands
    // for them.
    const auto in_file = static_cast<std::int32_t>(
        std::min<std::size_t>((static_cast<std::size_t>(test_buffer().size()) + 15) / 16 + 1,
                              static_cast<std::size_t>(fit)));
    for (std::int32_t i = 0; i < n; ++i) {
        if (i >= in_file)
            i = n - 1;
        const PointRecord r = point_record(i);
        const unsigned char* p = bytes + first + 16 * static_cast<std::size_t>(i);
        const PointRecord want = ext ? PointRecord{le32(p + 4), le32(p + 8), le32(p)}
                                     : PointRecord{le32(p), le32(p + 4), 0};
        LEKTA_FUZZ_CHECK(r.f == want.f && r.h == want.h && r.he == want.he,
                         "record %d differs from its bytes", i);
    }
    // The first record past the buffer, and a negative index, are refused.
    for (const std::int32_t i : {fit, -1, count < 0 ? count : -2}) {
        bool refused = false;
        try {
            point_record(i);
        } catch (const RangeError&) {
            refused = true;
        }
        LEKTA_FUZZ_CHECK(refused, "record %d outside the buffer was read", i);
    }
}

}  // namespace

int test_file(const std::uint8_t* data, std::size_t size)
{
    if (size > 2 * kTestBufferSize)
        return 0;
    const std::string& path = input_file(data, size);

    // As the graph opener reads it.
    bool opened = false;
    try {
        opened = read_test_file(path);
    } catch (const InOutError& e) {
        LEKTA_FUZZ_CHECK(false, "reading a file in memory failed: %s", e.what());
    }
    LEKTA_FUZZ_CHECK(opened, "a regular file did not open");
    check_whole_read(data, size);
    const std::optional<CatalogueRow> whole = row_of_buffer();
    check_point_records();

    // As the catalogue reads it, after the longer whole read.
    LEKTA_FUZZ_CHECK(read_test_summary(path), "a regular file did not open");
    check_summary_read(data, size);
    const std::optional<CatalogueRow> summary = row_of_buffer();
    if (size > kTestBufferSize)
        return 0;  // not a test file: what its reads yield is not defined beyond staying in the
                   // buffer
    LEKTA_FUZZ_CHECK(whole.has_value() == summary.has_value(),
                     "one read gives a row, the other does not");
    if (whole && summary) {
        for (int c = 0; c < kCatalogueColumns; ++c)
            LEKTA_FUZZ_CHECK(whole->cells[static_cast<std::size_t>(c)] ==
                                 summary->cells[static_cast<std::size_t>(c)],
                             "column %d: '%s' from the whole file, '%s' from header and tail", c,
                             whole->cells[static_cast<std::size_t>(c)].c_str(),
                             summary->cells[static_cast<std::size_t>(c)].c_str());
    }
    return 0;
}

}  // namespace lekta::fuzz
