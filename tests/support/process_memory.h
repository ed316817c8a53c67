#pragma once
// The process's resident memory as the kernel counts it, for tests and
// benchmarks that look at memory over a long run.
#include <charconv>
#include <fstream>
#include <string>

namespace lekta::testing {

// VmRSS of /proc/self/status in KiB; -1 where it cannot be read.
inline long resident_kib()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) != 0)
            continue;
        const std::size_t digits = line.find_first_of("0123456789");
        long kib = -1;
        if (digits != std::string::npos)
            std::from_chars(line.data() + digits, line.data() + line.size(), kib);
        return kib;
    }
    return -1;
}

}  // namespace lekta::testing
