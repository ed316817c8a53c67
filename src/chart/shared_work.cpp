#include "chart/shared_work.h"

#include <QSemaphore>
#include <QThreadPool>
#include <atomic>
#include <exception>
#include <memory>
#include <mutex>

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
    // The pool's thread may still be inside release() when this call has
    // returned: the semaphore is its to let go of too.
    const auto helper_done = std::make_shared<QSemaphore>();
    const bool helped = count > 1 && QThreadPool::globalInstance()->tryStart([&take, helper_done] {
        take();
        helper_done->release();
    });
    take();
    if (helped)
        helper_done->acquire();
    if (error)
        std::rethrow_exception(error);
}

}  // namespace lekta::ui
