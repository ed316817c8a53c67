// What the online benchmarks share: a port and timers that do nothing, so
// the engine is driven by hand, and the unit's encoding of a value.
#pragma once

#include "lib/unit_protocol.h"
#include "online/link_interfaces.h"

#include <cstdint>
#include <string>

namespace lekta::bench {

struct NullPort : LinkPort {
    void set_port_name(const std::string& n) override { name = n; }
    std::string port_name() const override { return name; }
    bool connect() override { return true; }
    void disconnect() override {}
    bool send_char(char16_t) override { return true; }
    std::string name;
};

struct PlainTimer : LinkTimer {
    void start(int ms) override { on = true, ms_ = ms; }
    void stop() override { on = false; }
    bool running() const override { return on && ms_ > 0; }
    void set_interval(int ms) override { ms_ = ms; }
    int interval() const override { return ms_; }
    bool on = false;
    int ms_ = 0;
};

// The low `bytes` bytes of v as the unit sends them, least significant first.
inline void encode(std::uint32_t v, int bytes, std::string& out)
{
    for (int i = 0; i < bytes; ++i)
        tools::encode_byte(static_cast<std::uint8_t>(v >> (8 * i)), out);
}

}  // namespace lekta::bench
