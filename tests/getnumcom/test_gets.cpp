// The port-lookup library, loaded as the program loads it, against
// pseudo-terminals standing in for serial ports.
#include "support/test_support.h"
#include "support/unit_simulator.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <dlfcn.h>
#include <fcntl.h>
#include <fstream>
#include <gtest/gtest.h>
#include <poll.h>
#include <string>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <termios.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

struct tmas {
    char** items;
    int count;
};
using gets_fn = void (*)(const char*, const char*, tmas*);
using freemas_fn = void (*)(tmas*);

// A pseudo-terminal whose far side, when `answer` is set, replies to each
// 'Z' with that letter, as an instrument unit does, after `delay_ms`.
class FakePort {
public:
    explicit FakePort(char answer, int delay_ms = 0) : answer_(answer), delay_ms_(delay_ms)
    {
        master_ = ::posix_openpt(O_RDWR | O_NOCTTY);
        ::grantpt(master_);
        ::unlockpt(master_);
        path_ = ::ptsname(master_);
        termios t{};
        ::tcgetattr(master_, &t);
        ::cfmakeraw(&t);
        ::tcsetattr(master_, TCSANOW, &t);
        // Keep one slave descriptor open so the master never reads EIO.
        keep_ = ::open(path_.c_str(), O_RDWR | O_NOCTTY);
        worker_ = std::thread([this] { serve(); });
    }
    ~FakePort()
    {
        stop_ = true;
        worker_.join();
        ::close(keep_);
        ::close(master_);
    }
    const std::string& path() const { return path_; }
    int slave() const { return keep_; }
    int questions() const { return questions_; }

private:
    void serve()
    {
        while (!stop_) {
            pollfd p{master_, POLLIN, 0};
            if (::poll(&p, 1, 20) <= 0)
                continue;
            char c;
            if (::read(master_, &c, 1) == 1 && c == 'Z') {
                ++questions_;
                std::this_thread::sleep_for(std::chrono::milliseconds(delay_ms_));
                if (answer_)
                    (void)::write(master_, &answer_, 1);
            }
        }
    }
    char answer_;
    int delay_ms_;
    int master_ = -1, keep_ = -1;
    std::string path_;
    std::atomic<bool> stop_{false};
    std::atomic<int> questions_{0};
    std::thread worker_;
};

class PortLookup : public ::testing::Test {
protected:
    void SetUp() override
    {
        lib_ = ::dlopen((lekta::testing::bin_dir() + "/libgetnumcom.so").c_str(),
                        RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(lib_, nullptr) << ::dlerror();
        gets_ = reinterpret_cast<gets_fn>(::dlsym(lib_, "gets"));
        freemas_ = reinterpret_cast<freemas_fn>(::dlsym(lib_, "freemas"));
        ASSERT_NE(gets_, nullptr);
        ASSERT_NE(freemas_, nullptr);
        ::setenv("XDG_CONFIG_HOME", config_.path().c_str(), 1);
        ::mkdir((config_.path() + "/Veltrask").c_str(), 0755);
    }
    void TearDown() override
    {
        if (lib_)
            ::dlclose(lib_);
    }
    void configure(const std::vector<std::string>& lines)
    {
        std::ofstream out(config_.path() + "/Veltrask/getnumcom.conf");
        for (const auto& l : lines)
            out << l << "\n";
    }
    std::vector<std::string> lookup()
    {
        tmas list{nullptr, 0};
        gets_("lekta", "", &list);
        std::vector<std::string> out;
        for (int i = 0; i < list.count; ++i)
            out.emplace_back(list.items[i]);
        freemas_(&list);
        EXPECT_EQ(list.items, nullptr);
        return out;
    }

    lekta::testing::TempDir config_;
    void* lib_ = nullptr;
    gets_fn gets_ = nullptr;
    freemas_fn freemas_ = nullptr;
};

}  // namespace

TEST_F(PortLookup, FindsAnsweringUnitsAndIgnoresSilentOrMissingDevices)
{
    lekta::testing::TempDir run;
    const std::string link = run.file("unit");
    lekta::testing::UnitSimulator sim({"--link", link});
    ASSERT_EQ(sim.path().rfind("/dev/pts/", 0), 0u) << sim.path();
    // A unit behind a slow USB adapter answers after half a second.
    FakePort unit_z('Z'), silent(0), slow('Y', 500);
    configure({"# the demo's simulated unit", silent.path(), "  " + unit_z.path() + "  ",
               "/dev/no-such-port", run.path(), slow.path(), link});
    const auto found = lookup();
    ASSERT_GE(found.size(), 3u);
    // Configured devices come after the system's ports, in the file's order.
    EXPECT_EQ(found[found.size() - 3], unit_z.path());
    EXPECT_EQ(found[found.size() - 2], slow.path());
    EXPECT_EQ(found.back(), link);
    for (const auto& f : found) {
        EXPECT_NE(f, silent.path());
        EXPECT_NE(f, "/dev/no-such-port");
        EXPECT_NE(f, run.path());  // a directory is no port
    }
    EXPECT_GE(silent.questions(), 1);  // it was asked, it just never answered

    // The simulator ends cleanly on SIGTERM and takes its link with it.
    const int status = sim.stop();
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    struct stat st {};
    EXPECT_NE(::lstat(link.c_str(), &st), 0);
}

TEST_F(PortLookup, NamesUnderDevAndDevicesNamedTwice)
{
    lekta::testing::TempDir run;
    FakePort unit('Y');
    ASSERT_EQ(unit.path().rfind("/dev/", 0), 0u);
    const std::string name = unit.path().substr(5);  // "pts/N", as the program opens "\\.\pts/N"
    ASSERT_EQ(::symlink(unit.path().c_str(), run.file("alias").c_str()), 0);
    configure({name, run.file("alias"), unit.path()});
    const auto found = lookup();
    ASSERT_FALSE(found.empty());
    EXPECT_EQ(found.back(), name);
    EXPECT_EQ(std::count(found.begin(), found.end(), run.file("alias")), 0);
    EXPECT_EQ(std::count(found.begin(), found.end(), unit.path()), 0);
    EXPECT_EQ(unit.questions(), 1);
}

TEST_F(PortLookup, SkipsAPortAnotherProgramHolds)
{
    FakePort unit('Y');
    const int holder = ::open(unit.path().c_str(), O_RDWR | O_NOCTTY);
    ASSERT_EQ(::flock(holder, LOCK_EX | LOCK_NB), 0);
    configure({unit.path()});
    for (const auto& f : lookup())
        EXPECT_NE(f, unit.path());
    EXPECT_EQ(unit.questions(), 0);
    ::close(holder);
    const auto again = lookup();
    ASSERT_FALSE(again.empty());
    EXPECT_EQ(again.back(), unit.path());
}

TEST_F(PortLookup, NoConfigurationAndNoPortsGiveAnEmptyList)
{
    configure({});
    ::setenv("XDG_CONFIG_HOME", (config_.path() + "/nowhere").c_str(), 1);
    tmas list{nullptr, 0};
    gets_("lekta", "", &list);
    for (int i = 0; i < list.count; ++i)
        EXPECT_NE(std::string(list.items[i]).find("tty"),
                  std::string::npos);  // only real system ports
    freemas_(&list);
    freemas_(nullptr);
}
