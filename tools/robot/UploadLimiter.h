#pragma once
// Uploads per client per minute: a client that sends faster is told to wait (HTTP 429)
// before its body is stored or checked. A client is an IPv4 address or an IPv6 /64, the
// block one machine is given. The table keeps the clients heard from most recently, so
// its memory stays bounded however many addresses write, and a new one is never refused
// for want of room.

#include <chrono>
#include <cstddef>
#include <deque>
#include <list>
#include <mutex>
#include <string>
#include <unordered_map>

namespace korvane::robot {

// The client an address belongs to: an IPv4 address as it is (also when written as
// IPv4-mapped IPv6), an IPv6 address as its /64, anything else as given, cut short.
std::string limiterClient(const std::string& address);

class UploadLimiter {
public:
    using Clock = std::chrono::steady_clock;

    // perMinute 0: no limit. maxClients: the most clients remembered at once.
    explicit UploadLimiter(std::size_t perMinute, std::size_t maxClients = 100000);

    // Counts one upload from the address's client at the time given; false when the
    // client has had perMinute uploads in the last minute already (the refused one is not
    // counted).
    bool allow(const std::string& address, Clock::time_point now = Clock::now());

private:
    struct Client {
        std::string key;
        std::deque<Clock::time_point> times; // at most perMinute, oldest first
    };

    std::size_t perMinute_;
    std::size_t maxClients_;
    std::mutex mutex_;
    std::list<Client> byRecency_; // most recent first
    std::unordered_map<std::string, std::list<Client>::iterator> clients_;
};

} // namespace korvane::robot
