#pragma once
// The input as a file the reader can open by name: an anonymous in-memory
// file, reached through the process's descriptor folder. Regular, so the
// reader takes it; no disk, so a run costs little. One file for the
// process, refilled for every input.
#include "fuzz/fuzz_check.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <sys/mman.h>
#include <unistd.h>

namespace lekta::fuzz {

inline const std::string& input_file(const std::uint8_t* data, std::size_t size)
{
    static const int fd = ::memfd_create("lekta-fuzz.bmd", MFD_CLOEXEC);
    static const std::string path = "/proc/self/fd/" + std::to_string(fd);
    LEKTA_FUZZ_CHECK(fd >= 0, "memfd_create failed");
    LEKTA_FUZZ_CHECK(::ftruncate(fd, 0) == 0, "ftruncate failed");
    std::size_t done = 0;
    while (done < size) {
        const ssize_t n = ::pwrite(fd, data + done, size - done, static_cast<off_t>(done));
        LEKTA_FUZZ_CHECK(n > 0, "pwrite failed");
        done += static_cast<std::size_t>(n);
    }
    return path;
}

}  // namespace lekta::fuzz
