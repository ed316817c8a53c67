#pragma once
// The instrument unit's side of the serial link, for the simulator and for
// tests: encoding of data bytes, the data response, and a session that turns
// each received command byte into what the unit writes back.
#include "lib/pseudo_terminal.h"
#include "lib/unit_curve.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace lekta::tools {

enum class UnitType { Z, Y };

// A record holds at most this many points: the program's data block is
// 65,536 bytes, 2 for the count and 12 a record.
constexpr std::size_t kMaxPointsPerResponse = 5461;

// The unit sends each data byte as two characters, low nibble first, nibble n
// as '0' + n ('0' … '9', ':' … '?').
void encode_byte(std::uint8_t byte, std::string& out);
std::string encode_bytes(const std::vector<std::uint8_t>& bytes);

// Decoded data block: 16-bit record count, then F, H, He of each record as
// signed 32-bit, all little-endian.
std::vector<std::uint8_t> data_block(const std::vector<UnitPoint>& points);

// Decoded result block: Ft for a type Z unit (4 bytes); Ft and F0.2 for a
// type Y unit (8 bytes).
std::vector<std::uint8_t> result_block(UnitType type, std::int32_t ft, std::int32_t f02);

// Ways a response can be broken on purpose, to see the program survive them.
enum class Malformation {
    None,
    OddLength,       // the data block loses its last character
    NoT,             // the 'T' before the result block is left out
    TBeforeS,        // 'T' and the result block come before 'S' and the data block
    BadPair,         // one data pair decodes outside 0 … 255
    CountPastBlock,  // the record count claims one record more than the block holds
};
// "odd-length", "no-t", "t-before-s", "bad-pair", "count-past-block".
std::optional<Malformation> parse_malformation(std::string_view text);

// One data response: 'P', 'S', data block, 'T', result block, and 'V' when
// `last` (the test is complete).
std::string data_response(UnitType type, const std::vector<UnitPoint>& points, std::int32_t ft,
                          std::int32_t f02, bool last, Malformation broken = Malformation::None);

struct UnitOptions {
    UnitType type = UnitType::Y;
    std::size_t points_per_response = 10;
    int silent_after = -1;  // after this many data responses the unit answers nothing more
    int end_after = -1;     // after this many data responses each 'D' gets 'E'
    Malformation malformed = Malformation::None;
    int malformed_at = 1;  // 1-based number of the response that is broken
    bool split = false;    // each data response goes out in two writes
    bool exit_after_v = false;
    // The 'D' with this 1-based number (counted from the unit's start, so it
    // happens once) gets `flood_bytes` characters without any marker instead
    // of a response: a babbling line. No points are used up by it.
    int flood_at = -1;
    std::size_t flood_bytes = 0;
    // The response with this 1-based number is written in pieces spread
    // evenly over `slow_ms` milliseconds.
    int slow_at = 1;
    int slow_ms = 0;
};

// What the unit writes for one received byte: nothing, one text, or (split)
// two texts meant to arrive some time apart.
struct UnitReply {
    std::vector<std::string> writes;
    bool finished = false;  // the test is complete and the unit means to stop
    int pause_ms = 80;      // between two writes
};

// The unit's dialogue: 'Z' is answered with the type letter; each 'D' with
// the points recorded since the previous response. A 'Z' after data
// responses starts the test again from its first point, as a new online run
// expects a whole test.
class UnitSession {
public:
    UnitSession(UnitCurve curve, const UnitOptions& options);

    UnitReply on_byte(char command);

    int responses() const { return responses_; }
    bool completed() const { return cursor_ >= curve_.points.size(); }
    const UnitOptions& options() const { return options_; }

private:
    void restart();
    UnitReply data_reply();

    UnitCurve curve_;
    UnitOptions options_;
    std::size_t cursor_ = 0;  // first point not yet sent
    int responses_ = 0;
    int requests_ = 0;  // 'D's since the unit started, restarts included
    bool silent_ = false;
};

// Serves a session on the master side of a pseudo-terminal until `stop` is
// set, or, with exit_after_v, until the workstation has closed its port
// after the last response: the unit stops talking, but what it sent is not
// lost. A master that reads nothing or fails (no slave open) is retried
// after a short sleep. `log`, when given, gets one line per command.
void serve_unit(PseudoTerminal& pty, UnitSession& session, const std::atomic<bool>& stop,
                std::ostream* log = nullptr);

}  // namespace lekta::tools
