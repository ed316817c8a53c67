#pragma once
// The one process-wide test buffer: the last test file read, with its size
// beside it. Header, point records and tail are picked out of it at fixed
// offsets; nothing else holds a parsed test.
//
// Its bytes are private: a reader asks for the area it fills, so the buffer
// knows how far the last read reached, and a reset puts spaces back only
// there. Everything else only reads.
#include <cstddef>
#include <cstdint>

namespace lekta {

constexpr std::size_t kTestBufferSize = 1'024'000;

class TestBuffer {
public:
    TestBuffer();
    TestBuffer(const TestBuffer&) = delete;
    TestBuffer& operator=(const TestBuffer&) = delete;

    const unsigned char* bytes() const { return bytes_; }
    // The byte at offset; RangeError beyond the buffer.
    unsigned char byte(std::size_t offset) const;
    // Bytes in the file read last.
    std::int32_t size() const { return size_; }

    // Every byte becomes a space again and the size 0. Only what earlier
    // reads touched is cleared: past that the bytes are spaces already.
    void reset();
    void set_size(std::int32_t size) { size_ = size; }
    // The place where a read may put `count` bytes at `offset`; they count
    // as touched from now on. RangeError when the area leaves the buffer.
    unsigned char* area(std::size_t offset, std::size_t count);
    // After a read that failed part-way any byte may have changed.
    void mark_all_touched() { touched_ = kTestBufferSize; }

private:
    unsigned char bytes_[kTestBufferSize];
    std::int32_t size_ = 0;
    std::size_t touched_ = 0;  // bytes past this offset are known to be spaces
};
TestBuffer& test_buffer();

}  // namespace lekta
