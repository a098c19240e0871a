// The platform threads the window runs on: the entry gets its context, the start does not
// wait for the entry, and the end is seen from outside.
#include "platform/Platform.h"
#include "platform/Thread.h"

#include <doctest/doctest.h>

#include <atomic>

namespace {

std::atomic<bool> entered{false};
std::atomic<bool> mayFinish{false};
std::atomic<void*> contextSeen{nullptr};
std::atomic<bool> finished{false}; // its last step: later tests may change the platform table

unsigned blockUntilAllowed(void* context)
{
    contextSeen.store(context);
    entered.store(true);
    while (!mayFinish.load())
        platform::ops().sleepMs(1);
    finished.store(true);
    return 7;
}

bool runningBecomes(platform::Thread* t, bool expected)
{
    for (int i = 0; i < 2000; ++i) {
        if (platform::isRunning(t) == expected)
            return true;
        platform::ops().sleepMs(1);
    }
    return false;
}

} // namespace

TEST_CASE("a started thread runs its entry while the starter goes on, and is seen to end")
{
    entered = false;
    mayFinish = false;
    contextSeen = nullptr;
    int context = 0;
    platform::Thread* t = platform::startThread(blockUntilAllowed, &context);
    REQUIRE(t != nullptr);
    CHECK(platform::isRunning(t));
    for (int i = 0; i < 2000 && !entered.load(); ++i)
        platform::ops().sleepMs(1);
    CHECK(entered.load());
    CHECK(contextSeen.load() == &context);
    CHECK(platform::isRunning(t)); // the entry is still blocked

    mayFinish = true;
    platform::waitUntilOutsideLibrary(t);
    CHECK(runningBecomes(t, false));
    platform::releaseThread(t);
}

TEST_CASE("a thread may be forgotten while it runs, and null is a thread that is not there")
{
    entered = false;
    mayFinish = false;
    finished = false;
    platform::Thread* t = platform::startThread(blockUntilAllowed, nullptr);
    REQUIRE(t != nullptr);
    platform::releaseThread(t);
    mayFinish = true; // it finishes on its own, touching nothing that was released
    CHECK_FALSE(platform::isRunning(nullptr));
    platform::waitUntilOutsideLibrary(nullptr);
    platform::releaseThread(nullptr);
    for (int i = 0; i < 2000 && !finished.load(); ++i)
        platform::ops().sleepMs(1);
    CHECK(finished.load());
}
