#include "testfile/test_buffer.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace lekta {

InOutError::InOutError(int code)
    : std::runtime_error("I/O error " + std::to_string(code) + ": " + std::strerror(code)), code_(code)
{
}

TestBuffer& test_buffer()
{
    static TestBuffer* buffer = [] {
        auto* b = new TestBuffer;
        std::memset(b->bytes, 0x20, kTestBufferSize);
        b->dirty = 0;
        return b;
    }();
    return *buffer;
}

namespace {

void close_quietly(int fd)
{
    while (::close(fd) != 0 && errno == EINTR) {
    }
}

// Resets what the previous read left in the buffer and opens the file for
// reading: read-only, since the program never writes a test file and
// write-protected archives must open; non-blocking, so a FIFO cannot hang
// the scan; regular files only. Sets the buffer's size from the file's.
// -1 when the file cannot be read as a test.
int open_test_file(const std::string& path, TestBuffer& b)
{
    std::memset(b.bytes, 0x20, b.dirty);
    b.dirty = 0;
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return -1;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        close_quietly(fd);
        return -1;
    }
    b.size = static_cast<std::int32_t>(st.st_size > INT32_MAX ? INT32_MAX : st.st_size);
    return fd;
}

// A read that failed part-way: the buffer may hold anything anywhere, the
// file is closed and the system's error goes to the caller.
[[noreturn]] void fail_read(int fd, TestBuffer& b)
{
    const int err = errno;
    b.dirty = kTestBufferSize;
    close_quietly(fd);
    throw InOutError(err);
}

}  // namespace

bool read_test_file(const std::string& path)
{
    TestBuffer& b = test_buffer();
    const int fd = open_test_file(path, b);
    if (fd < 0)
        return false;

    // Blocks land at the start of the buffer until the file is exhausted, so
    // a file of up to the buffer's size ends up whole.
    std::size_t filled = 0;
    for (;;) {
        const ssize_t n = ::read(fd, b.bytes + filled, kTestBufferSize - filled);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            fail_read(fd, b);
        }
        if (n == 0)
            break;
        filled += static_cast<std::size_t>(n);
        if (filled > b.dirty)
            b.dirty = filled;
        if (filled == kTestBufferSize)
            filled = 0;
    }
    close_quietly(fd);
    return true;
}

bool read_test_summary(const std::string& path)
{
    TestBuffer& b = test_buffer();
    const int fd = open_test_file(path, b);
    if (fd < 0)
        return false;
    constexpr std::size_t kHeader = 28, kTail = 30;
    auto read_at = [&](std::size_t offset, std::size_t count) {
        std::size_t done = 0;
        while (done < count) {
            const ssize_t n = ::pread(fd, b.bytes + offset + done, count - done, static_cast<off_t>(offset + done));
            if (n < 0) {
                if (errno == EINTR)
                    continue;
                fail_read(fd, b);
            }
            if (n == 0)
                break;
            done += static_cast<std::size_t>(n);
        }
        b.dirty = std::max(b.dirty, offset + done);
    };
    const auto size = static_cast<std::size_t>(b.size);  // clamped, still beyond the buffer when huge
    if (size <= kTestBufferSize) {
        read_at(0, std::min(size, kHeader));
        if (size > kHeader) {
            const std::size_t from = size > kTail ? std::max(size - kTail, kHeader) : kHeader;
            read_at(from, size - from);
        }
    } else {
        // Longer than the buffer: not a valid test; its tail lies outside
        // the buffer and reading a tail field reports that.
        read_at(0, kHeader);
    }
    close_quietly(fd);
    return true;
}

std::uint8_t read_byte(std::size_t offset)
{
    if (offset >= kTestBufferSize)
        throw RangeError();
    return test_buffer().bytes[offset];
}

std::uint16_t read_word(std::size_t offset)
{
    if (offset + 1 >= kTestBufferSize)
        throw RangeError();
    const auto* p = test_buffer().bytes + offset;
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

bool is_extensometer_layout()
{
    return test_buffer().bytes[kMode] == kExtensometerMode;
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
        if (extensometer) return 10;
        break;
    case Tail::ProofStress:
        if (extensometer) return 6;
        break;
    }
    throw RangeError();
}

namespace {

std::uint32_t u32_at_tail(std::size_t k)
{
    const TestBuffer& b = test_buffer();
    const auto size = static_cast<std::int64_t>(b.size);
    const std::int64_t at = size - static_cast<std::int64_t>(k);
    if (at < 0 || at + 4 > static_cast<std::int64_t>(kTestBufferSize))
        throw RangeError();
    const auto* p = b.bytes + at;
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

std::int32_t i32_at(const unsigned char* p)
{
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
                                     (static_cast<std::uint32_t>(p[2]) << 16) |
                                     (static_cast<std::uint32_t>(p[3]) << 24));
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
    const unsigned char* p = test_buffer().bytes + base;
    if (ext)
        return {i32_at(p + 4), i32_at(p + 8), i32_at(p)};
    return {i32_at(p), i32_at(p + 4), 0};
}

std::string date_text()
{
    const TestBuffer& b = test_buffer();
    const unsigned day = b.bytes[kDay], month = b.bytes[kMonth], year = b.bytes[kYear];
    std::string s = (day >= 1 && day <= 31) ? two_digits(day) + "." : "01.";
    s += (month >= 1 && month <= 12) ? two_digits(month) + "." : "01.";
    s += std::to_string(2000 + year);
    return s;
}

std::string time_text()
{
    const TestBuffer& b = test_buffer();
    const unsigned hour = b.bytes[kHour], minute = b.bytes[kMinute], second = b.bytes[kSecond];
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
