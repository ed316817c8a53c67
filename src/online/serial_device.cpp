#include "online/serial_device.h"

#include "common/system_call.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace lekta {

namespace {

const std::string kDevicePrefix = "\\\\.\\";

bool starts_with_ci(const std::string& s, const char* prefix)
{
    std::size_t n = std::strlen(prefix);
    if (s.size() < n)
        return false;
    for (std::size_t i = 0; i < n; ++i) {
        char a = s[i];
        if (a >= 'a' && a <= 'z')
            a = static_cast<char>(a - 'a' + 'A');
        if (a != prefix[i])
            return false;
    }
    return true;
}

// "COMn" with n decimal digits only; returns n, or -1 when the name is not of that form.
long com_number(const std::string& s)
{
    if (!starts_with_ci(s, "COM") || s.size() == 3 || s.size() > 12)
        return -1;
    long n = 0;
    for (std::size_t i = 3; i < s.size(); ++i) {
        if (s[i] < '0' || s[i] > '9')
            return -1;
        n = n * 10 + (s[i] - '0');
    }
    return n;
}

// Nothing to read or no room to write on a non-blocking descriptor.
bool would_block()
{
    return errno == EAGAIN || errno == EWOULDBLOCK;
}

// A device without modem lines (a pseudo-terminal, some adapters) refuses
// their ioctls with one of these; that is not a fault of the port.
bool no_modem_lines_errno()
{
    return errno == ENOTTY || errno == EINVAL || errno == ENOSYS;
}

speed_t standard_speed(std::uint32_t baud)
{
    switch (baud) {
    case 50: return B50;
    case 75: return B75;
    case 110: return B110;
    case 134: return B134;
    case 150: return B150;
    case 200: return B200;
    case 300: return B300;
    case 600: return B600;
    case 1200: return B1200;
    case 1800: return B1800;
    case 2400: return B2400;
    case 4800: return B4800;
    case 9600: return B9600;
    case 19200: return B19200;
    case 38400: return B38400;
    case 57600: return B57600;
    case 115200: return B115200;
    case 230400: return B230400;
    case 460800: return B460800;
    case 500000: return B500000;
    case 576000: return B576000;
    case 921600: return B921600;
    case 1000000: return B1000000;
    default: return B0;
    }
}

#if defined(__linux__) &&                                                                          \
    (defined(__x86_64__) || defined(__i386__) || defined(__aarch64__) || defined(__arm__))
// The kernel's termios2, which carries a speed in bit/s for rates without a
// Bxxx constant (14400, 56000, 128000, 256000). Declared here because the
// kernel header clashes with <termios.h>.
// The kernel's layout: every member is there for the ones after it.
struct KernelTermios2 {
    // cppcheck-suppress unusedStructMember
    unsigned int c_iflag, c_oflag, c_cflag, c_lflag;
    // cppcheck-suppress unusedStructMember
    unsigned char c_line;
    // cppcheck-suppress unusedStructMember
    unsigned char c_cc[19];
    unsigned int c_ispeed, c_ospeed;
};
constexpr unsigned long kTcGets2 = _IOR('T', 0x2A, KernelTermios2);
constexpr unsigned long kTcSets2 = _IOW('T', 0x2B, KernelTermios2);
constexpr unsigned int kBaudMask = 0010017;
constexpr unsigned int kBaudOther = 0010000;

bool set_other_speed(int fd, std::uint32_t baud)
{
    KernelTermios2 t{};
    if (::ioctl(fd, kTcGets2, &t) != 0)
        return false;
    t.c_cflag = (t.c_cflag & ~kBaudMask) | kBaudOther;
    t.c_cflag &= ~(kBaudMask << 16);  // input speed follows the output speed
    t.c_ispeed = t.c_ospeed = baud;
    return ::ioctl(fd, kTcSets2, &t) == 0;
}
#else
bool set_other_speed(int, std::uint32_t)
{
    return false;
}
#endif

bool set_modem_bit(int fd, int bit, bool on)
{
    int bits = bit;
    if (::ioctl(fd, on ? TIOCMBIS : TIOCMBIC, &bits) == 0)
        return true;
    return false;
}

}  // namespace

std::string serial_device_path(const std::string& name)
{
    std::string rest = name.compare(0, kDevicePrefix.size(), kDevicePrefix) == 0
                           ? name.substr(kDevicePrefix.size())
                           : name;
    if (rest.empty())
        return {};
    if (rest.front() == '/')
        return rest;
    long n = com_number(rest);
    if (n == 0)
        return {};
    if (n > 0)
        return "/dev/ttyS" + std::to_string(n - 1);
    return "/dev/" + rest;
}

SerialDevice::~SerialDevice()
{
    close();
}

bool SerialDevice::open(const std::string& path)
{
    close();
    if (path.empty())
        return false;
    const int opened = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (opened < 0)
        return false;
    // The lock first: a second holder must fail before it touches the line.
    if (::flock(opened, LOCK_EX | LOCK_NB) != 0 || !::isatty(opened) ||
        ::ioctl(opened, TIOCEXCL) != 0) {
        ::close(opened);
        return false;
    }
    fd_ = opened;
    return true;
}

void SerialDevice::close()
{
    if (fd_ < 0)
        return;
    ::ioctl(fd_, TIOCNXCL);
    ::flock(fd_, LOCK_UN);
    ::close(fd_);
    fd_ = -1;
}

bool SerialDevice::configure(const SerialLineConfig& cfg)
{
    if (fd_ < 0 || cfg.baud == 0 || cfg.data_bits < 5 || cfg.data_bits > 8 || cfg.parity < 0 ||
        cfg.parity > 4 || cfg.stop_bits < 0 || cfg.stop_bits > 2 || cfg.hw_flow < 0 ||
        cfg.hw_flow > 2)
        return false;
    termios t{};
    if (::tcgetattr(fd_, &t) != 0)
        return false;
    ::cfmakeraw(&t);
    t.c_iflag &= ~(IXON | IXOFF | IXANY | INPCK | PARMRK | IGNPAR);
    t.c_iflag |= IGNBRK;
    t.c_cflag &= ~(CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS);
    t.c_cflag |= CREAD | CLOCAL;
    static const tcflag_t sizes[] = {CS5, CS6, CS7, CS8};
    t.c_cflag |= sizes[cfg.data_bits - 5];
    switch (cfg.parity) {
    case 1: t.c_cflag |= PARENB | PARODD; break;
    case 2: t.c_cflag |= PARENB; break;
    case 3: t.c_cflag |= PARENB | PARODD | CMSPAR; break;
    case 4: t.c_cflag |= PARENB | CMSPAR; break;
    default: break;
    }
    // One and a half stop bits: the UART gives 1.5 for CSTOPB with 5-bit characters.
    if (cfg.stop_bits != 0)
        t.c_cflag |= CSTOPB;
    if (cfg.hw_flow == 2)
        t.c_cflag |= CRTSCTS;
    if (cfg.xon_xoff)
        t.c_iflag |= IXON | IXOFF;
    t.c_cc[VSTART] = 0x11;
    t.c_cc[VSTOP] = 0x13;
    t.c_cc[VMIN] = 0;
    t.c_cc[VTIME] = 0;

    speed_t sp = standard_speed(cfg.baud);
    bool other = sp == B0;
    if (other)
        sp = B38400;  // replaced below by the exact rate
    if (::cfsetispeed(&t, sp) != 0 || ::cfsetospeed(&t, sp) != 0)
        return false;
    if (::tcsetattr(fd_, TCSANOW, &t) != 0)
        return false;
    if (other && !set_other_speed(fd_, cfg.baud))
        return false;

    // DTR as asked; RTS raised for "none with RTS on", lowered for "none";
    // under RTS/CTS the driver drives RTS itself.
    if (!set_dtr(cfg.dtr_on) && !no_modem_lines_errno())
        return false;
    if (cfg.hw_flow != 2 && !set_rts(cfg.hw_flow == 1) && !no_modem_lines_errno())
        return false;
    return true;
}

bool SerialDevice::purge(bool input, bool output)
{
    if (fd_ < 0)
        return false;
    if (!input && !output)
        return true;
    int which = input && output ? TCIOFLUSH : input ? TCIFLUSH : TCOFLUSH;
    return ::tcflush(fd_, which) == 0;
}

int SerialDevice::input_waiting() const
{
    int n = 0;
    if (fd_ < 0 || ::ioctl(fd_, FIONREAD, &n) != 0 || n < 0)
        return -1;
    return n;
}

int SerialDevice::output_waiting() const
{
    int n = 0;
    if (fd_ < 0 || ::ioctl(fd_, TIOCOUTQ, &n) != 0 || n < 0)
        return -1;
    return n;
}

long SerialDevice::read_some(void* data, std::size_t size)
{
    if (fd_ < 0)
        return -1;
    if (size == 0)
        return 0;
    const ssize_t r = retry_interrupted([&] { return ::read(fd_, data, size); });
    if (r >= 0)
        return static_cast<long>(r);
    return would_block() ? 0 : -1;
}

long SerialDevice::write_some(const void* data, std::size_t size)
{
    if (fd_ < 0)
        return -1;
    if (size == 0)
        return 0;
    const ssize_t r = retry_interrupted([&] { return ::write(fd_, data, size); });
    if (r >= 0)
        return static_cast<long>(r);
    return would_block() ? 0 : -1;
}

namespace {

bool wait_for(int fd, short events, int timeout_ms)
{
    if (fd < 0)
        return false;
    pollfd p{fd, events, 0};
    if (::poll(&p, 1, timeout_ms) < 0)
        return errno == EINTR;
    return (p.revents & (POLLHUP | POLLERR | POLLNVAL)) == 0;
}

}  // namespace

bool SerialDevice::wait_readable(int timeout_ms) const
{
    return wait_for(fd_, POLLIN, timeout_ms);
}

bool SerialDevice::wait_writable(int timeout_ms) const
{
    return wait_for(fd_, POLLOUT, timeout_ms);
}

bool SerialDevice::set_dtr(bool on)
{
    return fd_ >= 0 && set_modem_bit(fd_, TIOCM_DTR, on);
}

bool SerialDevice::set_rts(bool on)
{
    return fd_ >= 0 && set_modem_bit(fd_, TIOCM_RTS, on);
}

bool SerialDevice::modem_status(unsigned& lines) const
{
    lines = 0;
    int bits = 0;
    if (fd_ < 0 || ::ioctl(fd_, TIOCMGET, &bits) != 0)
        return false;
    if (bits & TIOCM_CTS)
        lines |= kModemCTS;
    if (bits & TIOCM_DSR)
        lines |= kModemDSR;
    if (bits & TIOCM_RNG)
        lines |= kModemRING;
    if (bits & TIOCM_CAR)
        lines |= kModemCD;
    return true;
}

}  // namespace lekta
