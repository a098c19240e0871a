#include "tools/robot/UploadLimiter.h"

namespace korvane::robot {
namespace {

constexpr auto kWindow = std::chrono::minutes(1);

} // namespace

UploadLimiter::UploadLimiter(std::size_t perMinute, std::size_t maxAddresses)
    : perMinute_(perMinute), maxAddresses_(maxAddresses)
{
}

bool UploadLimiter::allow(const std::string& address, Clock::time_point now)
{
    if (perMinute_ == 0)
        return true;
    std::lock_guard<std::mutex> lock(mutex_);
    if (recent_.size() >= maxAddresses_ && recent_.find(address) == recent_.end())
        forgetIdle(now);
    // Still full of addresses that all sent within the minute: a flood from many
    // addresses, where one more table entry each would grow without end.
    if (recent_.size() >= maxAddresses_ && recent_.find(address) == recent_.end())
        return false;
    std::deque<Clock::time_point>& times = recent_[address];
    while (!times.empty() && now - times.front() >= kWindow)
        times.pop_front();
    if (times.size() >= perMinute_)
        return false;
    times.push_back(now);
    return true;
}

void UploadLimiter::forgetIdle(Clock::time_point now)
{
    for (auto it = recent_.begin(); it != recent_.end();) {
        if (it->second.empty() || now - it->second.back() >= kWindow)
            it = recent_.erase(it);
        else
            ++it;
    }
}

} // namespace korvane::robot
