#pragma once
// Uploads per client address per minute: a client that sends faster is told to wait
// (HTTP 429) before its body is stored or checked. Memory stays bounded however many
// addresses write.

#include <chrono>
#include <cstddef>
#include <deque>
#include <mutex>
#include <string>
#include <unordered_map>

namespace korvane::robot {

class UploadLimiter {
public:
    using Clock = std::chrono::steady_clock;

    // perMinute 0: no limit.
    explicit UploadLimiter(std::size_t perMinute, std::size_t maxAddresses = 100000);

    // Counts one upload from the address at the time given; false when the address has
    // had perMinute uploads in the last minute already (the refused one is not counted).
    bool allow(const std::string& address, Clock::time_point now = Clock::now());

private:
    void forgetIdle(Clock::time_point now);

    std::size_t perMinute_;
    std::size_t maxAddresses_;
    std::mutex mutex_;
    std::unordered_map<std::string, std::deque<Clock::time_point>> recent_;
};

} // namespace korvane::robot
