#pragma once
// Work on many independent items shared between the calling thread and a
// second thread started for the call: both take the next item until none is
// left, and the call returns when every item is done. Where no thread can be
// started the calling thread does it all. The chart thins its curves this
// way: fifty long curves take some milliseconds each view, and a second core
// halves the wait.
#include <cstddef>
#include <functional>

namespace lekta::ui {

// work(i) for every i in [0, count), each once, on either thread. An
// exception from work is thrown again here after both threads stopped
// (the first one; the items not yet begun are left undone).
void share_work(std::size_t count, const std::function<void(std::size_t)>& work);

}  // namespace lekta::ui
