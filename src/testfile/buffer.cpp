#include "testfile/buffer.h"

#include "testfile/errors.h"

#include <cstring>

namespace lekta {

InOutError::InOutError(int code)
    : std::runtime_error("I/O error " + std::to_string(code) + ": " + std::strerror(code)),
      code_(code)
{}

TestBuffer::TestBuffer()
{
    std::memset(bytes_, 0x20, kTestBufferSize);
}

unsigned char TestBuffer::byte(std::size_t offset) const
{
    if (offset >= kTestBufferSize)
        throw RangeError();
    return bytes_[offset];
}

void TestBuffer::reset()
{
    std::memset(bytes_, 0x20, touched_);
    touched_ = 0;
    size_ = 0;
}

unsigned char* TestBuffer::area(std::size_t offset, std::size_t count)
{
    if (offset > kTestBufferSize || count > kTestBufferSize - offset)
        throw RangeError();
    if (offset + count > touched_)
        touched_ = offset + count;
    return bytes_ + offset;
}

TestBuffer& test_buffer()
{
    // Allocated once and never freed: the buffer lives as long as the process.
    static TestBuffer* buffer = new TestBuffer;
    return *buffer;
}

}  // namespace lekta
