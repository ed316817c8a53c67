#include "chart/shared_work.h"

#include <atomic>
#include <gtest/gtest.h>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

using namespace lekta::ui;

// Every item is done exactly once whatever the count, on the calling thread
// and (given enough items) a second one; the first exception comes back to
// the caller after both threads stopped.
TEST(SharedWork, EachItemOnceAndTheFirstFailureComesBack)
{
    for (const std::size_t count : {0u, 1u, 2u, 1000u}) {
        std::vector<std::atomic<int>> done(count);
        share_work(count, [&](std::size_t i) {
            std::this_thread::yield();
            ++done[i];
        });
        for (std::size_t i = 0; i < count; ++i)
            ASSERT_EQ(done[i].load(), 1) << "item " << i << " of " << count;
    }
    try {
        share_work(500, [&](std::size_t i) {
            if (i == 7 || i == 400)
                throw std::runtime_error("item " + std::to_string(i));
        });
        ADD_FAILURE() << "no exception came back";
    } catch (const std::runtime_error& e) {
        EXPECT_TRUE(std::string(e.what()) == "item 7" || std::string(e.what()) == "item 400")
            << e.what();
    }
}
