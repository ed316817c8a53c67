#pragma once
// The link protocol's port over the serial port object, and the settings the
// online window gives its port once, when the window is built.
#include "online/CPDrv.h"
#include "online/link_interfaces.h"

namespace lekta {

// The name the online window's port carries until the online command first
// gives it the instrument's port.
inline constexpr const char* kInitialOnlinePortName = "\\\\.\\COM32";

// 57600 baud, 8 data bits, no parity, 1 stop bit, RTS raised, DTR not raised,
// no handshake; 4096-byte queues and scratch buffer; the name used unchanged.
void configure_online_port(TCommPortDriver& port);

class CommPortLink : public LinkPort {
public:
    explicit CommPortLink(TCommPortDriver& port) : port_(port) {}

    void set_port_name(const std::string& name) override;
    std::string port_name() const override;
    bool connect() override;
    void disconnect() override;
    bool send_char(char16_t c) override;

private:
    TCommPortDriver& port_;
};

}  // namespace lekta
