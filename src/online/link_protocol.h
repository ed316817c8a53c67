#pragma once
// The dialogue with the instrument's electronic unit: the program sends 'Z'
// until the unit names its type ('Z' or 'Y'), then 'D' every half second;
// each data response carries the newest test points and the result loads,
// which go to the labels, the two live charts and the point table.
//
// Plain C++: the engine talks to the port, its three timers and the window
// through the interfaces of link_interfaces.h. Every entry point runs on the
// user-interface thread, one at a time.
#include "online/link_interfaces.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace lekta {

// Everything the dialogue remembers. One set for the single online window.
struct LinkState {
    static constexpr std::uint32_t kReceiveSize = 0x40000;  // 262,144 bytes
    static constexpr std::uint32_t kBlockSize = 0x10000;    // 65,536 bytes, at most 5,461 records
    static constexpr std::uint32_t kResultSize = 16;

    // Bytes received since the last reset, from position 0. Zeroed when the
    // window is shown, otherwise never cleared: bytes of older, longer
    // responses stay beyond received_count.
    std::vector<unsigned char> receive = std::vector<unsigned char>(kReceiveSize, 0);
    std::uint32_t received_count = 0;  // the next chunk lands here; never beyond kReceiveSize
    char16_t last_command = u'Z';
    bool s_seen = false;       // an 'S' since the last reset or the last finished response
    bool marker_seen = false;  // a 'P', 'Z' or 'Y' since then
    // The latest of 'P', 'Z', 'Y' decides these. During identification they
    // describe the most recent chunk only; after a 'D' they describe the
    // unit's whole reply to it (see CommPortDriver1ReceiveData).
    bool p_in_chunk = false;
    bool z_in_chunk = false;
    bool y_in_chunk = false;
    // Set by the first 'Z' or 'Y' ever received; kept for the whole run of the program.
    bool type_z_latch = false;
    bool type_y_latch = false;
    std::vector<unsigned char> data_block = std::vector<unsigned char>(kBlockSize, 0);
    std::array<unsigned char, kResultSize> result_area{};  // not cleared between responses
    // The last record decoded and the last result block.
    std::int32_t F = 0;
    std::int32_t H = 0;
    std::int32_t He = 0;
    std::int32_t Ft = 0;
    std::int32_t F02 = 0;
    std::uint16_t record_count = 0;
    std::int32_t point_row_counter = 0;  // rows added to the point table since the window was shown
    // The unit said 'E': the test is over. Until the window is shown again
    // nothing more is sent or processed; a running poll or watchdog only
    // lets go of the port.
    bool ended = false;
    // A 'V' completed the test; the poll's next tick ends the dialogue.
    bool completed = false;
    // The dialogue ended without either and the window was told so.
    bool lost = false;
    // Identification retries since the window was shown or the unit last sent anything.
    int silent_retries = 0;
};

// v / 10^decimals (decimals 0 to 4) in the general format with the regional
// separator: the same text as number_text, for the point table's many cells.
std::string scaled_text(std::int32_t v, int decimals);

class LinkProtocol {
public:
    static constexpr int kTimer1Interval = 1000;  // identification retry
    static constexpr int kTimer2Interval = 500;   // poll
    static constexpr int kTimer3Interval = 3000;  // watchdog
    static constexpr std::int32_t kNoExtensometer = 0x00FFFFFF;
    // About 15 s of retries with nothing at all from the unit: it is not there.
    static constexpr int kSilentRetryLimit = 15;

    LinkProtocol(LinkPort& port, LinkTimer& timer1, LinkTimer& timer2, LinkTimer& timer3,
                 LinkView& view);

    // Window creation, once at program start: the watchdog runs from here on.
    void FormCreate();

    // The window's show: prepare (zero the receive buffer, stop the poll, give
    // the chosen port name to the port, reset the receive state and the row
    // counter), then, after the window's own settings, begin (open the port,
    // send 'Z', start the identification retry).
    void start(const std::string& chosen_port_name);
    void start_prepare(const std::string& chosen_port_name);
    void start_dialogue();

    // One chunk from the serial port: all bytes that were waiting at one poll tick.
    void CommPortDriver1ReceiveData(const unsigned char* data, std::uint32_t size);

    void Timer1Timer();  // identification retry
    void Timer2Timer();  // poll
    void Timer3Timer();  // watchdog

    // The window's close: give the chosen name to the port again, reset the
    // receive state, close the port, stop Timer1 and Timer2.
    void stop_on_close();
    // "Выход": reset the receive state and close the port.
    void stop_on_exit();

    const LinkState& state() const { return state_; }
    const std::string& chosen_port_name() const { return chosen_port_name_; }
    // True while the unit has begun a data response ('S' and a marker after
    // a 'D') whose result block has not yet arrived.
    bool response_pending() const;

    // The watchdog's period: kTimer3Interval in the program. Tests of whole
    // dialogues over a pseudo-terminal on a loaded machine, where the kernel
    // may hold the line's bytes back for seconds, give it longer unless the
    // watchdog is what they test.
    void set_watchdog_interval(int ms) { watchdog_ms_ = ms; }

private:
    void reset_receive_state();
    void lose_link();
    std::uint32_t find_first(unsigned char letter) const;
    void restart_count();
    void scan_received();
    std::uint32_t result_chars() const;
    void try_process();
    void finish_response();
    void drop_response();
    bool process_response(std::uint32_t s, std::uint32_t t);
    void show_records();
    void rescale_axes();

    LinkPort& port_;
    LinkTimer& timer1_;
    LinkTimer& timer2_;
    LinkTimer& timer3_;
    LinkView& view_;
    LinkState state_;
    std::string chosen_port_name_;
    int watchdog_ms_ = kTimer3Interval;
    // The first 'S' and 'T' below `searched` in the receive buffer
    // (kReceiveSize: none there), kept until the count starts again at 0.
    struct MarkerScan {
        std::uint32_t searched = 0;
        std::uint32_t s = LinkState::kReceiveSize;
        std::uint32_t t = LinkState::kReceiveSize;
    } scan_;
};

}  // namespace lekta
