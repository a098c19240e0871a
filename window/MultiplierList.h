#pragma once
// The distinct calls worked, rebuilt by every summary on the host's thread and read by
// the window's thread. A reader sees the whole list before or after a rebuild, never a
// mixture. The generation changes whenever a rebuild changes the contents, so a reader
// can tell a changed list from an unchanged one even when its length stayed the same.

#include "platform/Lock.h"

#include <cstdint>
#include <string>
#include <vector>

class MultiplierList {
public:
    void rebuild(std::vector<std::string> calls);

    // Copies the list and its generation under the lock.
    std::vector<std::string> snapshot(std::uint64_t* generation = nullptr) const;
    std::uint64_t generation() const;

private:
    mutable platform::Lock lock_;
    std::vector<std::string> calls_;
    std::uint64_t generation_ = 0;
};
