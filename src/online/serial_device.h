#pragma once
// The thin POSIX layer under the serial port object: an exclusively opened
// terminal device in raw mode, with non-blocking reads and writes, queue
// purging and counting, and the modem lines.
#include <cstddef>
#include <cstdint>
#include <string>

namespace lekta {

// Maps a port device name to the path opened on this system.
//   "\\.\COMn"            -> /dev/ttyS(n-1)   ("\\.\COM0" maps to "": no device)
//   "\\.\/dev/pts/3"      -> /dev/pts/3       (an absolute path is used as is)
//   "\\.\ttyUSB0"         -> /dev/ttyUSB0
// A name without the "\\.\" prefix is mapped the same way. An empty result
// means that the name stands for no device.
std::string serial_device_path(const std::string& name);

// Character format and handshake of the line, in the port object's terms.
struct SerialLineConfig {
    std::uint32_t baud = 9600;  // bit/s, any value the driver accepts
    int data_bits = 8;          // 5 ... 8
    int parity = 0;             // 0 none, 1 odd, 2 even, 3 mark, 4 space
    int stop_bits = 0;          // 0 one, 1 one and a half, 2 two
    int hw_flow = 1;            // 0 none (RTS low), 1 none with RTS raised, 2 RTS/CTS
    bool xon_xoff = false;
    bool dtr_on = true;  // raise DTR (else lower it)
};

// Modem status lines, as returned by SerialDevice::modem_status().
enum : unsigned {
    kModemCTS = 1u << 0,
    kModemDSR = 1u << 1,
    kModemRING = 1u << 2,
    kModemCD = 1u << 3,
};

class SerialDevice {
public:
    SerialDevice() = default;
    ~SerialDevice();
    SerialDevice(const SerialDevice&) = delete;
    SerialDevice& operator=(const SerialDevice&) = delete;

    // Opens path for reading and writing, non-blocking, not as the controlling
    // terminal, and exclusively: TIOCEXCL keeps other users out and an
    // flock(LOCK_EX) keeps out everybody else, root included. False when the
    // device is missing, busy or not a terminal.
    bool open(const std::string& path);
    void close();
    bool is_open() const { return fd_ >= 0; }
    int fd() const { return fd_; }

    // Raw mode with the given speed, format and flow control; DTR and RTS set
    // as asked where the device has modem lines (a pseudo-terminal has none,
    // which is not a failure).
    bool configure(const SerialLineConfig& cfg);
    // Discards pending input and/or output.
    bool purge(bool input, bool output);
    // Bytes waiting to be read; -1 when the query fails.
    int input_waiting() const;
    // Bytes not yet sent; -1 when the query fails.
    int output_waiting() const;
    // Non-blocking read and write: the number of bytes moved, 0 when nothing
    // could be moved now, -1 on a hard error (for instance EIO once the other
    // side of a pseudo-terminal has closed).
    long read_some(void* data, std::size_t size);
    long write_some(const void* data, std::size_t size);
    // Waits up to timeout_ms for the device to become readable / writable;
    // false when the device reports a hang-up or an error instead.
    bool wait_readable(int timeout_ms) const;
    bool wait_writable(int timeout_ms) const;
    // Raises or lowers DTR / RTS; false where the device has no such line.
    bool set_dtr(bool on);
    bool set_rts(bool on);
    // The modem status lines (kModem* bits); false when the query fails.
    bool modem_status(unsigned& lines) const;

private:
    int fd_ = -1;
};

}  // namespace lekta
