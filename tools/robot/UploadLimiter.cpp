#include "tools/robot/UploadLimiter.h"

#include <arpa/inet.h>

#include <algorithm>

#include <cstdio>

namespace korvane::robot {
namespace {

constexpr auto kWindow = std::chrono::minutes(1);
// Only a proxy's X-Forwarded-For gives anything but an address; its key stays short.
constexpr std::size_t kMaxOtherKey = 64;

} // namespace

std::string limiterClient(const std::string& address)
{
    in_addr v4{};
    if (inet_pton(AF_INET, address.c_str(), &v4) == 1)
        return address;
    in6_addr v6{};
    if (inet_pton(AF_INET6, address.c_str(), &v6) != 1)
        return address.substr(0, kMaxOtherKey);
    const unsigned char* b = v6.s6_addr;
    static const unsigned char kMapped[12] = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xff, 0xff};
    char text[64];
    if (std::equal(kMapped, kMapped + 12, b)) {
        std::snprintf(text, sizeof text, "%u.%u.%u.%u", b[12], b[13], b[14], b[15]);
        return text;
    }
    std::snprintf(text, sizeof text, "%02x%02x:%02x%02x:%02x%02x:%02x%02x::/64", b[0], b[1], b[2], b[3], b[4], b[5],
                  b[6], b[7]);
    return text;
}

UploadLimiter::UploadLimiter(std::size_t perMinute, std::size_t maxClients)
    : perMinute_(perMinute), maxClients_(maxClients ? maxClients : 1)
{
}

bool UploadLimiter::allow(const std::string& address, Clock::time_point now)
{
    if (perMinute_ == 0)
        return true;
    const std::string key = limiterClient(address);
    std::lock_guard<std::mutex> lock(mutex_);
    auto found = clients_.find(key);
    if (found != clients_.end()) {
        byRecency_.splice(byRecency_.begin(), byRecency_, found->second);
    } else {
        // The client heard from longest ago makes room: it is forgotten, not refused.
        if (clients_.size() >= maxClients_) {
            clients_.erase(byRecency_.back().key);
            byRecency_.pop_back();
        }
        byRecency_.push_front(Client{key, {}});
        found = clients_.emplace(key, byRecency_.begin()).first;
    }
    std::deque<Clock::time_point>& times = found->second->times;
    while (!times.empty() && now - times.front() >= kWindow)
        times.pop_front();
    if (times.size() >= perMinute_)
        return false;
    times.push_back(now);
    return true;
}

} // namespace korvane::robot
