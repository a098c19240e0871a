#include "window/MultiplierList.h"

#include <utility>

void MultiplierList::rebuild(std::vector<std::string> calls)
{
    std::vector<std::string> old;
    {
        platform::LockGuard guard(lock_);
        if (calls != calls_)
            ++generation_;
        old.swap(calls_);
        calls_ = std::move(calls);
    }
    // The previous list is released outside the lock: the window never waits for it.
}

std::vector<std::string> MultiplierList::snapshot(std::uint64_t* generation) const
{
    platform::LockGuard guard(lock_);
    if (generation)
        *generation = generation_;
    return calls_;
}

std::uint64_t MultiplierList::generation() const
{
    platform::LockGuard guard(lock_);
    return generation_;
}
