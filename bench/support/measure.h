#pragma once
// What the widget benchmarks measure besides time: the median of the runs,
// the process's resident memory and its processor time.
#include <sys/resource.h>

#include <algorithm>
#include <fstream>
#include <string>
#include <vector>

namespace lekta::bench {

inline double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    const std::size_t n = v.size();
    return n == 0 ? 0 : n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

// A field of /proc/self/status in kB: "VmRSS" now, "VmHWM" the peak since
// the last reset_peak().
inline long status_kb(const char* field)
{
    std::ifstream in("/proc/self/status");
    std::string line;
    const std::string key = std::string(field) + ":";
    while (std::getline(in, line))
        if (line.compare(0, key.size(), key) == 0)
            return std::stol(line.substr(key.size()));
    return 0;
}

inline void reset_peak()
{
    std::ofstream("/proc/self/clear_refs") << "5";
}

// Processor time of the whole process (every thread), in ms.
inline double process_cpu_ms()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return (u.ru_utime.tv_sec + u.ru_stime.tv_sec) * 1e3 +
           (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e3;
}

}  // namespace lekta::bench
