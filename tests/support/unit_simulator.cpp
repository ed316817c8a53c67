#include "support/unit_simulator.h"

#include "support/test_support.h"

#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

namespace lekta::testing {

UnitSimulator::UnitSimulator(const std::vector<std::string>& args)
{
    int out[2];
    if (::pipe(out) != 0)
        return;
    const std::string prog = bin_dir() + "/lekta_unit_sim";
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(prog.c_str()));
    for (const std::string& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    pid_ = ::fork();
    if (pid_ == 0) {
        ::dup2(out[1], 1);
        ::close(out[0]);
        ::close(out[1]);
        ::execv(prog.c_str(), argv.data());
        ::_exit(127);
    }
    ::close(out[1]);
    if (pid_ < 0) {
        ::close(out[0]);
        return;
    }
    // The program prints the port's path once it serves.
    char c;
    while (::read(out[0], &c, 1) == 1 && c != '\n')
        path_ += c;
    ::close(out[0]);
}

UnitSimulator::~UnitSimulator()
{
    stop();
}

bool UnitSimulator::exited()
{
    if (pid_ <= 0)
        return true;
    if (::waitpid(pid_, &status_, WNOHANG) == pid_) {
        pid_ = -1;
        return true;
    }
    return false;
}

int UnitSimulator::stop()
{
    if (pid_ > 0) {
        ::kill(pid_, SIGTERM);
        ::waitpid(pid_, &status_, 0);
        pid_ = -1;
    }
    return status_;
}

}  // namespace lekta::testing
