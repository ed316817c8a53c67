#pragma once
// The ports the port dialog offers: every device name "\\.\COM0" …
// "\\.\COM64" that opens, then the serial devices the system reports that
// those names miss (USB adapters, the usual way the instrument is attached).
#include <QStringList>
#include <string>
#include <vector>

namespace lekta {

class TCommPortDriver;

// Candidate USB and ACM serial devices under dev_root, in this order:
// ttyUSB* and ttyACM* by their number, then the links of serial/by-id/ in
// name order, leaving out every path whose device is already listed or is
// one of `already` (paths as serial_device_path gives them).
std::vector<std::string> usb_serial_candidates(const std::string& dev_root,
                                               const std::vector<std::string>& already);

// "\\.\COM0" … "\\.\COM64", the names the port dialog tries first.
std::vector<QString> com_port_names();

// Tries each name on the port (PortName, Connect, Disconnect) and returns
// those that opened, in order: the COM names, then the USB candidates under
// dev_root by their path.
QStringList scan_ports(TCommPortDriver& port,
                       const std::vector<QString>& com_names = com_port_names(),
                       const std::string& dev_root = "/dev");

}  // namespace lekta
