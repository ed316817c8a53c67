#include "chart/shared_work.h"

#include <atomic>
#include <exception>
#include <mutex>
#include <optional>
#include <system_error>
#include <thread>

namespace lekta::ui {

void share_work(std::size_t count, const std::function<void(std::size_t)>& work)
{
    std::atomic<std::size_t> next{0};
    std::atomic<bool> failed{false};
    std::exception_ptr error;
    std::mutex error_mutex;
    auto take = [&] {
        for (std::size_t i; !failed.load() && (i = next.fetch_add(1)) < count;) {
            try {
                work(i);
            } catch (...) {
                const std::lock_guard lock(error_mutex);
                if (!error)
                    error = std::current_exception();
                failed = true;
            }
        }
    };
    // A thread of its own for the call rather than Qt's pool: starting one
    // costs some tens of microseconds, and its start and its join are
    // synchronisation the thread sanitizer sees (Qt's pool waits where it
    // cannot look).
    std::optional<std::thread> helper;
    if (count > 1) {
        try {
            helper.emplace(take);
        } catch (const std::system_error&) {
            // No thread to be had: this one does it all.
        }
    }
    take();
    if (helper)
        helper->join();
    if (error)
        std::rethrow_exception(error);
}

}  // namespace lekta::ui
