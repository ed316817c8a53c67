// Finds the instrument: every serial port the system lists (USB adapters and
// on-board ports with a real UART) and every device named in the library's
// own configuration file is opened at 57600 baud 8N1 and sent 'Z'; a unit
// answers with its type letter, 'Z' or 'Y'. All candidates are probed at
// once, so the search takes one answer time, not one per port.
#include "getnumcom.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <fstream>
#include <linux/serial.h>
#include <poll.h>
#include <string>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>
#include <vector>

namespace {

// Every port is asked at once, so this is the whole lookup's wait, ended
// earlier when every port that opened has answered. A unit behind a slow
// USB adapter takes several hundred milliseconds to answer.
constexpr int kAnswerTimeMs = 1000;

struct Candidate {
    std::string device;  // what to open
    std::string entry;   // what the program gets back
    int fd = -1;
    bool answered = false;
};

// An on-board port name exists for every possible UART; only those the
// kernel found hardware for have a type other than PORT_UNKNOWN. sysfs tells
// without opening the port; older kernels are asked through the device.
bool has_real_uart(const std::string& name)
{
    std::ifstream type_file("/sys/class/tty/" + name + "/type");
    int type = -1;
    if (type_file >> type)
        return type != PORT_UNKNOWN;
    const int fd = ::open(("/dev/" + name).c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    serial_struct info{};
    const bool real = ::ioctl(fd, TIOCGSERIAL, &info) == 0 && info.type != PORT_UNKNOWN;
    ::close(fd);
    return real;
}

// Virtual terminals and the like have no device behind them.
bool has_device(const std::string& name)
{
    struct stat st {};
    return ::stat(("/sys/class/tty/" + name + "/device").c_str(), &st) == 0;
}

void system_ports(std::vector<Candidate>& out)
{
    DIR* d = ::opendir("/sys/class/tty");
    if (!d)
        return;
    std::vector<std::string> names;
    while (const dirent* e = ::readdir(d)) {
        const std::string n = e->d_name;
        if (n.rfind("ttyUSB", 0) == 0 || n.rfind("ttyACM", 0) == 0 || n.rfind("ttyS", 0) == 0)
            names.push_back(n);
    }
    ::closedir(d);
    std::sort(names.begin(), names.end());
    for (const std::string& n : names) {
        if (!has_device(n) || (n.rfind("ttyS", 0) == 0 && !has_real_uart(n)))
            continue;
        out.push_back({"/dev/" + n, n});
    }
}

std::string config_path()
{
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    std::string base;
    if (xdg && *xdg)
        base = xdg;
    else if (const char* home = std::getenv("HOME"))
        base = std::string(home) + "/.config";
    else
        return {};
    return base + "/Veltrask/getnumcom.conf";
}

// One device a line: an absolute path, or a name under /dev ("ttyUSB0"), which
// is how the program opens an entry too. '#' starts a comment.
void configured_ports(std::vector<Candidate>& out)
{
    const std::string path = config_path();
    if (path.empty())
        return;
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) {
        const auto hash = line.find('#');
        if (hash != std::string::npos)
            line.erase(hash);
        const auto first = line.find_first_not_of(" \t\r");
        if (first == std::string::npos)
            continue;
        const auto last = line.find_last_not_of(" \t\r");
        const std::string dev = line.substr(first, last - first + 1);
        out.push_back({dev.front() == '/' ? dev : "/dev/" + dev, dev});
    }
}

bool open_and_ask(Candidate& c)
{
    c.fd = ::open(c.device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (c.fd < 0)
        return false;
    termios tio{};
    // A port another program holds is not ours to probe.
    if (::flock(c.fd, LOCK_EX | LOCK_NB) != 0 || ::tcgetattr(c.fd, &tio) != 0) {
        ::close(c.fd);
        c.fd = -1;
        return false;
    }
    ::cfmakeraw(&tio);
    ::cfsetispeed(&tio, B57600);
    ::cfsetospeed(&tio, B57600);
    tio.c_cflag &= ~(CSTOPB | PARENB | CRTSCTS | CSIZE);
    tio.c_cflag |= CS8 | CLOCAL | CREAD;
    tio.c_cc[VMIN] = 0;
    tio.c_cc[VTIME] = 0;
    if (::tcsetattr(c.fd, TCSANOW, &tio) != 0) {
        ::close(c.fd);
        c.fd = -1;
        return false;
    }
    ::tcflush(c.fd, TCIOFLUSH);
    const char z = 'Z';
    if (::write(c.fd, &z, 1) != 1) {
        ::close(c.fd);
        c.fd = -1;
        return false;
    }
    return true;
}

void wait_for_answers(std::vector<Candidate>& cs)
{
    using clock = std::chrono::steady_clock;
    const auto deadline = clock::now() + std::chrono::milliseconds(kAnswerTimeMs);
    for (;;) {
        std::vector<pollfd> fds;
        std::vector<Candidate*> who;
        for (Candidate& c : cs)
            if (c.fd >= 0 && !c.answered) {
                fds.push_back({c.fd, POLLIN, 0});
                who.push_back(&c);
            }
        if (fds.empty())
            return;
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - clock::now()).count();
        if (left <= 0)
            return;
        const int n = ::poll(fds.data(), fds.size(), static_cast<int>(left));
        if (n < 0 && errno != EINTR)
            return;
        for (size_t i = 0; i < fds.size(); ++i) {
            if (!(fds[i].revents & (POLLIN | POLLHUP | POLLERR)))
                continue;
            char buf[64];
            const ssize_t got = ::read(fds[i].fd, buf, sizeof buf);
            if (got <= 0) {
                // A device that cannot be read any more is no candidate.
                ::close(who[i]->fd);
                who[i]->fd = -1;
                continue;
            }
            for (ssize_t k = 0; k < got; ++k)
                if (buf[k] == 'Z' || buf[k] == 'Y')
                    who[i]->answered = true;
        }
    }
}

}  // namespace

extern "C" __attribute__((visibility("default"))) void gets(const char* family, const char* extra,
                                                            tmas* list)
{
    (void)family;
    (void)extra;
    if (!list)
        return;
    list->items = nullptr;
    list->count = 0;

    std::vector<Candidate> cs;
    system_ports(cs);
    configured_ports(cs);
    // A device named twice (a port and a link to it) is asked once, under its
    // first name: the second open fails on the first one's lock.
    for (Candidate& c : cs)
        open_and_ask(c);
    wait_for_answers(cs);

    std::vector<std::string> found;
    for (Candidate& c : cs) {
        if (c.fd >= 0)
            ::close(c.fd);
        if (c.answered)
            found.push_back(c.entry);
    }
    if (found.empty())
        return;
    list->items = static_cast<char**>(std::calloc(found.size(), sizeof(char*)));
    if (!list->items)
        return;
    for (const std::string& f : found)
        list->items[list->count++] = ::strdup(f.c_str());
}

extern "C" __attribute__((visibility("default"))) void freemas(tmas* list)
{
    if (!list || !list->items)
        return;
    for (int i = 0; i < list->count; ++i)
        std::free(list->items[i]);
    std::free(list->items);
    list->items = nullptr;
    list->count = 0;
}
