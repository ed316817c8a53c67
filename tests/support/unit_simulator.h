#pragma once
// The unit simulator program run as a child process: it serves a
// pseudo-terminal and prints the terminal's path before it answers.
#include <string>
#include <sys/types.h>
#include <vector>

namespace lekta::testing {

class UnitSimulator {
public:
    // Arguments after the program name, e.g. {"--type", "Z", "--points", "40"}.
    explicit UnitSimulator(const std::vector<std::string>& args);
    ~UnitSimulator();
    UnitSimulator(const UnitSimulator&) = delete;
    UnitSimulator& operator=(const UnitSimulator&) = delete;

    // Device path of the simulated port; empty when the program did not start.
    const std::string& path() const { return path_; }
    // The port's name as the port object takes it: "\\.\" + the path.
    std::string port_name() const { return "\\\\.\\" + path_; }
    // True once the program has ended of its own accord (checked without waiting).
    bool exited();
    // SIGTERM unless it already ended; its wait status.
    int stop();

private:
    pid_t pid_ = -1;
    int status_ = 0;
    std::string path_;
};

}  // namespace lekta::testing
