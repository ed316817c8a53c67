#pragma once
// A system call run again while a signal interrupts it before it did
// anything (EINTR). Not for close(): on Linux the descriptor is gone even
// when close() reports EINTR, and closing it again could close one another
// thread has just opened.
#include <cerrno>

namespace lekta {

// Calls `call` until it succeeds or fails other than by EINTR; returns its
// last result, with errno as that call left it.
template <typename Call>
auto retry_interrupted(Call call)
{
    for (;;) {
        const auto result = call();
        if (result >= 0 || errno != EINTR)
            return result;
    }
}

}  // namespace lekta
