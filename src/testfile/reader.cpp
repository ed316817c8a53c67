#include "testfile/reader.h"

#include "common/system_call.h"
#include "testfile/buffer.h"
#include "testfile/errors.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace lekta {

namespace {

// Once only: the descriptor is gone even when close() reports EINTR.
void close_quietly(int fd)
{
    ::close(fd);
}

// Resets the buffer and opens the file for reading: read-only, since the
// program never writes a test file and write-protected archives must open;
// non-blocking, so a FIFO cannot hang the scan; regular files only. Sets the
// buffer's size from the file's. -1 when the file cannot be read as a test.
int open_test_file(const std::string& path, TestBuffer& b)
{
    b.reset();
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return -1;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        close_quietly(fd);
        return -1;
    }
    b.set_size(static_cast<std::int32_t>(st.st_size > INT32_MAX ? INT32_MAX : st.st_size));
    return fd;
}

// A read that failed part-way: the buffer may hold anything anywhere, the
// file is closed and the system's error goes to the caller.
[[noreturn]] void fail_read(int fd, TestBuffer& b)
{
    const int err = errno;
    b.mark_all_touched();
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
        unsigned char* to = b.area(filled, kTestBufferSize - filled);
        const ssize_t n = retry_interrupted(
            [&] { return ::read(fd, to, kTestBufferSize - filled); });
        if (n < 0)
            fail_read(fd, b);
        if (n == 0)
            break;
        filled += static_cast<std::size_t>(n);
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
        unsigned char* to = b.area(offset, count);
        std::size_t done = 0;
        while (done < count) {
            const ssize_t n = retry_interrupted([&] {
                return ::pread(fd, to + done, count - done, static_cast<off_t>(offset + done));
            });
            if (n < 0)
                fail_read(fd, b);
            if (n == 0)
                break;
            done += static_cast<std::size_t>(n);
        }
    };
    const auto size = static_cast<std::size_t>(
        b.size());  // clamped, still beyond the buffer when huge
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

}  // namespace lekta
