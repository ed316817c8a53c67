#pragma once
// Everything the online window runs the dialogue with: its serial port, its
// three timers and the protocol engine, wired together. The window supplies
// the view and calls the engine's start and stop steps.
#include "online/CPDrv.h"
#include "online/link_protocol.h"
#include "online/port_link.h"
#include "online/window_timer.h"

#include <memory>

namespace lekta {

class LinkSession {
public:
    // Builds the port with the online window's settings and wires it, the
    // timers and the engine together. Nothing runs yet.
    explicit LinkSession(LinkView& view);
    ~LinkSession();
    LinkSession(const LinkSession&) = delete;
    LinkSession& operator=(const LinkSession&) = delete;

    // The window's creation: from here on the watchdog ticks.
    void FormCreate() { protocol_.FormCreate(); }

    LinkProtocol& protocol() { return protocol_; }
    const LinkProtocol& protocol() const { return protocol_; }
    TCommPortDriver& CommPortDriver1() { return *port_; }
    WindowTimer& Timer1() { return timer1_; }
    WindowTimer& Timer2() { return timer2_; }
    WindowTimer& Timer3() { return timer3_; }

private:
    std::unique_ptr<TCommPortDriver> port_;
    CommPortLink link_;
    WindowTimer timer1_;
    WindowTimer timer2_;
    WindowTimer timer3_;
    LinkProtocol protocol_;
};

}  // namespace lekta
