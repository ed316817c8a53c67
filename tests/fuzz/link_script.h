#pragma once
// The link protocol target reads its input as a script of steps, each an op
// byte and its operands. The seed maker writes seeds with the same encoder,
// so the corpus starts from whole dialogues the unit simulator would hold.
#include <cstdint>
#include <string>
#include <vector>

namespace lekta::fuzz::link_script {

enum Op : std::uint8_t {
    kChunk = 0,      // n (1 byte), then n bytes: a short chunk from the port
    kLongChunk = 1,  // n (2 bytes, low first, at most 4096), then n bytes
    kFlood = 2,      // k (1 byte), a pattern byte: k chunks of 4096 pattern bytes
    kAdvance = 3,    // ms (2 bytes, low first): time passes, timers fire as due
    kShow = 4,       // the window is shown: start() with the chosen port
    kClose = 5,      // the window closes: stop_on_close()
    kExit = 6,       // "Выход": stop_on_exit()
    kPortFails = 7,  // the port's next opens fail, or succeed again
    kResponse = 8,   // flags, count, count × 12 bytes of F H He, 8 bytes Ft F0.2,
                     // split: a data response as the unit encodes it (see the target)
    kOpCount = 9,
};

// Bits of kResponse's flags byte.
constexpr std::uint8_t kTypeZ = 1;     // result block of a type Z unit (Ft only)
constexpr std::uint8_t kLast = 2;      // the test is complete: 'V' follows
constexpr int kMalformationShift = 2;  // 3 bits: tools::Malformation, 0 none

class Writer {
public:
    void chunk(const std::string& bytes)
    {
        for (std::size_t at = 0; at < bytes.size() || at == 0; at += 4096) {
            const std::string part = bytes.substr(at, 4096);
            if (part.size() < 256) {
                out_.push_back(kChunk);
                out_.push_back(static_cast<std::uint8_t>(part.size()));
            } else {
                out_.push_back(kLongChunk);
                out_.push_back(static_cast<std::uint8_t>(part.size() & 0xFF));
                out_.push_back(static_cast<std::uint8_t>(part.size() >> 8));
            }
            out_.insert(out_.end(), part.begin(), part.end());
            if (bytes.empty())
                break;
        }
    }
    void flood(std::uint8_t chunks, std::uint8_t pattern)
    {
        out_.insert(out_.end(), {kFlood, chunks, pattern});
    }
    void advance(std::uint16_t ms)
    {
        out_.insert(out_.end(), {kAdvance, static_cast<std::uint8_t>(ms & 0xFF),
                                 static_cast<std::uint8_t>(ms >> 8)});
    }
    void op(Op o) { out_.push_back(o); }
    // At most 31 points; split 0 sends the response in one chunk, otherwise
    // in two, the first split % length bytes long.
    struct Point {
        std::int32_t f, h, he;
    };
    void response(std::uint8_t flags, const std::vector<Point>& points, std::int32_t ft,
                  std::int32_t f02, std::uint8_t split)
    {
        out_.insert(out_.end(), {kResponse, flags, static_cast<std::uint8_t>(points.size())});
        for (const Point& p : points)
            for (std::int32_t v : {p.f, p.h, p.he})
                put32(v);
        put32(ft);
        put32(f02);
        out_.push_back(split);
    }
    const std::vector<std::uint8_t>& bytes() const { return out_; }

private:
    void put32(std::int32_t v)
    {
        for (int i = 0; i < 4; ++i)
            out_.push_back(static_cast<std::uint8_t>(static_cast<std::uint32_t>(v) >> (8 * i)));
    }
    std::vector<std::uint8_t> out_;
};

}  // namespace lekta::fuzz::link_script
