#pragma once
// A pseudo-terminal pair for the serial port tests: the test holds the raw,
// non-blocking master side; the port object opens the slave by its path.
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <termios.h>
#include <unistd.h>
#include <vector>

namespace lekta::testing {

class Pty {
public:
    Pty()
    {
        master_ = ::posix_openpt(O_RDWR | O_NOCTTY);
        if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0)
            return;
        if (const char* name = ::ptsname(master_))
            slave_path_ = name;
        termios t{};
        if (::tcgetattr(master_, &t) == 0) {
            ::cfmakeraw(&t);
            ::tcsetattr(master_, TCSANOW, &t);
        }
        ::fcntl(master_, F_SETFL, ::fcntl(master_, F_GETFL) | O_NONBLOCK);
    }
    ~Pty() { close_master(); }
    Pty(const Pty&) = delete;
    Pty& operator=(const Pty&) = delete;

    bool ok() const { return master_ >= 0 && !slave_path_.empty(); }
    const std::string& slave_path() const { return slave_path_; }
    // The slave's name as the port object takes it.
    std::string port_name() const { return "\\\\.\\" + slave_path_; }

    bool write(const std::vector<unsigned char>& bytes)
    {
        std::size_t done = 0;
        while (done < bytes.size()) {
            ssize_t r = ::write(master_, bytes.data() + done, bytes.size() - done);
            if (r < 0 && errno != EAGAIN && errno != EINTR)
                return false;
            if (r > 0)
                done += static_cast<std::size_t>(r);
        }
        return true;
    }
    // What the slave side has sent so far (non-blocking).
    std::vector<unsigned char> read_available()
    {
        std::vector<unsigned char> out;
        unsigned char buf[512];
        for (;;) {
            ssize_t r = ::read(master_, buf, sizeof buf);
            if (r <= 0)
                break;
            out.insert(out.end(), buf, buf + r);
        }
        return out;
    }
    void close_master()
    {
        if (master_ >= 0)
            ::close(master_);
        master_ = -1;
    }

private:
    int master_ = -1;
    std::string slave_path_;
};

}  // namespace lekta::testing
