#include "online/port_link.h"

namespace lekta {

void configure_online_port(TCommPortDriver& port)
{
    port.Disconnect();
    port.SetPort(pnCustom);
    port.SetPortName(QString::fromUtf8(kInitialOnlinePortName));
    port.SetBaudRateValue(57600);  // leaves BaudRate at brCustom
    port.SetInBufSize(4096);
    port.SetOutBufSize(4096);
    port.SetEnableDTROnOpen(false);
}

// Names are 8-bit texts on the unit's side and device paths here; both go
// through UTF-8 unchanged.
void CommPortLink::set_port_name(const std::string& name)
{
    port_.SetPortName(QString::fromStdString(name));
}

std::string CommPortLink::port_name() const
{
    return port_.PortName().toStdString();
}

bool CommPortLink::connect()
{
    return port_.Connect();
}

void CommPortLink::disconnect()
{
    port_.Disconnect();
}

bool CommPortLink::send_char(char16_t c)
{
    return port_.SendChar(c);
}

}  // namespace lekta
