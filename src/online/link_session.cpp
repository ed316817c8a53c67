#include "online/link_session.h"

namespace lekta {

LinkSession::LinkSession(LinkView& view)
    : port_(std::make_unique<TCommPortDriver>()), link_(*port_),
      timer1_([this] { protocol_.Timer1Timer(); }), timer2_([this] { protocol_.Timer2Timer(); }),
      timer3_([this] { protocol_.Timer3Timer(); }),
      protocol_(link_, timer1_, timer2_, timer3_, view)
{
    configure_online_port(*port_);
    port_->OnReceiveData = [this](TCommPortDriver*, const unsigned char* data, std::uint32_t size) {
        protocol_.CommPortDriver1ReceiveData(data, size);
    };
}

LinkSession::~LinkSession()
{
    port_->OnReceiveData = nullptr;
    port_->Disconnect();
}

}  // namespace lekta
