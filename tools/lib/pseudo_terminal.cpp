#include "lib/pseudo_terminal.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <system_error>
#include <termios.h>
#include <unistd.h>

namespace lekta::tools {

namespace {

[[noreturn]] void fail(const std::string& what)
{
    throw std::system_error(errno, std::generic_category(), what);
}

}  // namespace

PseudoTerminal::PseudoTerminal()
{
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (master_ < 0)
        fail("posix_openpt");
    char name[128];
    if (::grantpt(master_) != 0 || ::unlockpt(master_) != 0 ||
        ::ptsname_r(master_, name, sizeof name) != 0) {
        const int e = errno;
        ::close(master_);
        errno = e;
        fail("pseudo-terminal slave");
    }
    slave_path_ = name;
    slave_ = ::open(name, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    termios t{};
    if (slave_ < 0 || ::tcgetattr(slave_, &t) != 0) {
        const int e = errno;
        if (slave_ >= 0)
            ::close(slave_);
        ::close(master_);
        errno = e;
        fail("open " + slave_path_);
    }
    // Raw, so that nothing the unit sends is echoed back to it or altered.
    ::cfmakeraw(&t);
    ::cfsetispeed(&t, B57600);
    ::cfsetospeed(&t, B57600);
    t.c_cflag |= CLOCAL | CREAD;
    t.c_cc[VMIN] = 0;
    t.c_cc[VTIME] = 0;
    ::tcsetattr(slave_, TCSANOW, &t);
}

PseudoTerminal::~PseudoTerminal()
{
    remove_link();
    if (slave_ >= 0)
        ::close(slave_);
    if (master_ >= 0)
        ::close(master_);
}

void PseudoTerminal::release_slave()
{
    if (slave_ >= 0)
        ::close(slave_);
    slave_ = -1;
}

void PseudoTerminal::make_link(const std::string& path)
{
    struct stat st {};
    if (::lstat(path.c_str(), &st) == 0) {
        if (!S_ISLNK(st.st_mode)) {
            errno = EEXIST;
            fail(path);
        }
        if (::unlink(path.c_str()) != 0)
            fail("unlink " + path);
    }
    if (::symlink(slave_path_.c_str(), path.c_str()) != 0)
        fail("symlink " + path);
    link_ = path;
}

void PseudoTerminal::remove_link()
{
    if (link_.empty())
        return;
    // Only our own link: another simulator may have taken the name since.
    char target[256];
    const ssize_t n = ::readlink(link_.c_str(), target, sizeof target - 1);
    if (n > 0 && std::string(target, static_cast<std::size_t>(n)) == slave_path_)
        ::unlink(link_.c_str());
    link_.clear();
}

}  // namespace lekta::tools
