#include "lib/unit_protocol.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <poll.h>
#include <thread>
#include <unistd.h>

namespace lekta::tools {

namespace {

void put_u16(std::vector<std::uint8_t>& out, std::uint16_t v)
{
    out.push_back(static_cast<std::uint8_t>(v & 0xFF));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}

void put_i32(std::vector<std::uint8_t>& out, std::int32_t v)
{
    const auto u = static_cast<std::uint32_t>(v);
    for (int shift = 0; shift < 32; shift += 8)
        out.push_back(static_cast<std::uint8_t>((u >> shift) & 0xFF));
}

}  // namespace

void encode_byte(std::uint8_t byte, std::string& out)
{
    out += static_cast<char>('0' + (byte & 0x0F));
    out += static_cast<char>('0' + (byte >> 4));
}

std::string encode_bytes(const std::vector<std::uint8_t>& bytes)
{
    std::string out;
    out.reserve(bytes.size() * 2);
    for (std::uint8_t b : bytes)
        encode_byte(b, out);
    return out;
}

std::vector<std::uint8_t> data_block(const std::vector<UnitPoint>& points)
{
    const std::size_t n = std::min(points.size(), kMaxPointsPerResponse);
    std::vector<std::uint8_t> out;
    out.reserve(2 + 12 * n);
    put_u16(out, static_cast<std::uint16_t>(n));
    for (std::size_t i = 0; i < n; ++i) {
        put_i32(out, points[i].f);
        put_i32(out, points[i].h);
        put_i32(out, points[i].he);
    }
    return out;
}

std::vector<std::uint8_t> result_block(UnitType type, std::int32_t ft, std::int32_t f02)
{
    std::vector<std::uint8_t> out;
    put_i32(out, ft);
    if (type == UnitType::Y)
        put_i32(out, f02);
    return out;
}

std::optional<Malformation> parse_malformation(std::string_view text)
{
    if (text == "odd-length")
        return Malformation::OddLength;
    if (text == "no-t")
        return Malformation::NoT;
    if (text == "t-before-s")
        return Malformation::TBeforeS;
    if (text == "bad-pair")
        return Malformation::BadPair;
    if (text == "count-past-block")
        return Malformation::CountPastBlock;
    return std::nullopt;
}

std::string data_response(UnitType type, const std::vector<UnitPoint>& points, std::int32_t ft,
                          std::int32_t f02, bool last, Malformation broken)
{
    std::vector<std::uint8_t> block = data_block(points);
    if (broken == Malformation::CountPastBlock) {
        const auto n = static_cast<std::uint16_t>(block[0] + 256 * block[1] + 1);
        block[0] = static_cast<std::uint8_t>(n & 0xFF);
        block[1] = static_cast<std::uint8_t>(n >> 8);
    }
    std::string data = encode_bytes(block);
    if (broken == Malformation::OddLength)
        data.pop_back();
    if (broken == Malformation::BadPair) {
        // '@' as the high nibble stands for 16: the pair decodes to 256 or more.
        // The first load byte when there is a record, else the count.
        const std::size_t pair = points.empty() ? 0 : 2;
        data[2 * pair + 1] = '@';
    }
    const std::string result = encode_bytes(result_block(type, ft, f02));

    std::string out = "P";
    if (broken == Malformation::TBeforeS)
        out += "T" + result + "S" + data;
    else if (broken == Malformation::NoT)
        out += "S" + data + result;
    else
        out += "S" + data + "T" + result;
    if (last)
        out += 'V';
    return out;
}

UnitSession::UnitSession(UnitCurve curve, const UnitOptions& options)
    : curve_(std::move(curve)), options_(options)
{
    options_.points_per_response = std::clamp<std::size_t>(options_.points_per_response, 1,
                                                           kMaxPointsPerResponse);
}

void UnitSession::restart()
{
    cursor_ = 0;
    responses_ = 0;
}

UnitReply UnitSession::on_byte(char command)
{
    if (silent_)
        return {};
    if (command == 'Z') {
        if (responses_ > 0)
            restart();
        return {{options_.type == UnitType::Y ? "Y" : "Z"}, false};
    }
    if (command == 'D')
        return data_reply();
    return {};
}

UnitReply UnitSession::data_reply()
{
    if (options_.end_after >= 0 && responses_ >= options_.end_after)
        return {{"E"}, false};
    if (++requests_ == options_.flood_at && options_.flood_bytes > 0) {
        // The characters of encoded data, '0' to '?': no 'P', 'S', 'T', 'V',
        // 'E', 'Y' or 'Z' among them.
        std::string babble(options_.flood_bytes, '0');
        for (std::size_t i = 0; i < babble.size(); ++i)
            babble[i] = static_cast<char>('0' + (i * 7 + i / 16) % 16);
        return {{std::move(babble)}, false};
    }

    const std::size_t first = std::min(cursor_, curve_.points.size());
    const std::size_t last = std::min(first + options_.points_per_response, curve_.points.size());
    const std::vector<UnitPoint> points(curve_.points.begin() + static_cast<std::ptrdiff_t>(first),
                                        curve_.points.begin() + static_cast<std::ptrdiff_t>(last));
    cursor_ = last;
    ++responses_;

    // A load is reported once the curve has run past the point where it was found.
    const bool yield_known = curve_.yield_load != 0 && cursor_ > curve_.yield_index;
    const bool proof_known = curve_.proof_load != 0 && cursor_ > curve_.proof_index;
    const std::int32_t ft = yield_known ? curve_.yield_load : 0;
    const std::int32_t f02 = options_.type == UnitType::Y && proof_known ? curve_.proof_load : 0;
    const bool complete = completed();
    const Malformation broken = responses_ == options_.malformed_at ? options_.malformed
                                                                    : Malformation::None;

    std::string text = data_response(options_.type, points, ft, f02, complete, broken);
    if (options_.silent_after >= 0 && responses_ >= options_.silent_after)
        silent_ = true;

    UnitReply reply;
    reply.finished = complete && options_.exit_after_v;
    if (options_.slow_ms > 0 && responses_ == options_.slow_at && text.size() > 1) {
        // Twenty pieces (fewer for a short response), the last one at slow_ms.
        const std::size_t pieces = std::min<std::size_t>(20, text.size());
        const std::size_t size = (text.size() + pieces - 1) / pieces;
        for (std::size_t at = 0; at < text.size(); at += size)
            reply.writes.push_back(text.substr(at, size));
        reply.pause_ms = reply.writes.size() > 1
                             ? options_.slow_ms / static_cast<int>(reply.writes.size() - 1)
                             : 0;
    } else if (options_.split && text.size() > 1) {
        const std::size_t half = text.size() / 2;
        reply.writes = {text.substr(0, half), text.substr(half)};
    } else {
        reply.writes = {std::move(text)};
    }
    return reply;
}

namespace {

// Writes all of `text` to a non-blocking master, as fast as the other side
// reads it. A unit does not drop what it sends because the workstation is
// slow to read (a loaded machine may not read for seconds); it gives up only
// after ten seconds without progress, by the clock, when nobody reads at all.
void write_all(int fd, const std::string& text, const std::atomic<bool>& stop)
{
    using clock = std::chrono::steady_clock;
    std::size_t done = 0;
    auto last_progress = clock::now();
    while (done < text.size() && !stop && clock::now() - last_progress < std::chrono::seconds(10)) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n > 0) {
            done += static_cast<std::size_t>(n);
            last_progress = clock::now();
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

void sleep_unless_stopped(int ms, const std::atomic<bool>& stop)
{
    for (int waited = 0; waited < ms && !stop; waited += 10)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
}

// Waits until no program has the slave side open any more. The final
// response is written by then, but may still be on its way to the slave's
// queue (a queue that reads empty proves nothing just after a write); once
// the workstation has closed its port it has taken what it wanted, and
// closing the master cannot discard anything it still needs.
void wait_port_closed(PseudoTerminal& pty, const std::atomic<bool>& stop)
{
    pty.release_slave();
    char buf[256];
    while (!stop) {
        pollfd p{pty.master(), POLLIN, 0};
        if (::poll(&p, 1, 50) <= 0)
            continue;
        if (p.revents & POLLHUP)
            return;
        // The test is over: whatever the workstation still sends goes unanswered.
        if (::read(pty.master(), buf, sizeof buf) <= 0)
            sleep_unless_stopped(10, stop);
    }
}

}  // namespace

void serve_unit(PseudoTerminal& pty, UnitSession& session, const std::atomic<bool>& stop,
                std::ostream* log)
{
    const int master_fd = pty.master();
    char buf[256];
    while (!stop) {
        pollfd p{master_fd, POLLIN, 0};
        const int ready = ::poll(&p, 1, 50);
        if (ready <= 0)
            continue;  // timeout or a signal: look at `stop` again
        const ssize_t got = ::read(master_fd, buf, sizeof buf);
        if (got <= 0) {
            // No slave open (EIO) or nothing after all: the program may be
            // between closing and reopening the port.
            sleep_unless_stopped(50, stop);
            continue;
        }
        for (ssize_t i = 0; i < got && !stop; ++i) {
            const char c = buf[i];
            const UnitReply reply = session.on_byte(c);
            if (log) {
                *log << "got '" << (c >= 0x20 && c < 0x7F ? c : '?') << "' (0x" << std::hex
                     << (static_cast<unsigned>(c) & 0xFF) << std::dec << ")";
                if (!reply.writes.empty()) {
                    std::size_t size = 0;
                    for (const std::string& w : reply.writes)
                        size += w.size();
                    *log << ", answered " << size << " characters";
                    if (c == 'D')
                        *log << " (response " << session.responses() << ")";
                }
                *log << std::endl;
            }
            for (std::size_t w = 0; w < reply.writes.size(); ++w) {
                if (w > 0)
                    sleep_unless_stopped(reply.pause_ms, stop);  // the rest arrives later
                write_all(master_fd, reply.writes[w], stop);
            }
            if (reply.finished) {
                wait_port_closed(pty, stop);
                return;
            }
        }
    }
}

}  // namespace lekta::tools
