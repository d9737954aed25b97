// Proves that the thread-checking pass over the search's tests sees a race at all: two
// threads write one counter with no lock. Built only where the compiler checks threads;
// the pass runs it on its own and fails unless it is reported.
#if defined(__SANITIZE_THREAD__)

#include <gtest/gtest.h>

#include <thread>

namespace {

int g_unguarded = 0;

void raiseUnguarded()
{
    for (int i = 0; i < 1000; ++i)
        g_unguarded = g_unguarded + 1;
}

} // namespace

TEST(RaceDetector, TwoThreadsWritingOneCounterWithoutALock)
{
    std::thread first(raiseUnguarded);
    std::thread second(raiseUnguarded);
    first.join();
    second.join();
    EXPECT_GT(g_unguarded, 0);
}

#endif
