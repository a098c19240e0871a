#pragma once
// The committee's logins in the browser: a random session id in an HttpOnly cookie and a
// CSRF token per session that every committee form carries back. Kept in memory only:
// a restart logs everyone out, which costs the committee one more login.

#include <chrono>
#include <cstddef>
#include <map>
#include <mutex>
#include <optional>
#include <string>

namespace korvane::robot {

struct CommitteeSession {
    std::string id;   // the cookie's value
    std::string csrf; // the forms' hidden field
    std::string notice; // what the last action did, shown once on the next page
};

class CommitteeSessions {
public:
    using Clock = std::chrono::steady_clock;

    explicit CommitteeSessions(std::chrono::seconds lifetime = std::chrono::hours(12),
                               std::size_t maxSessions = 256);

    // A new session; empty when no random bytes could be had.
    std::optional<CommitteeSession> open(Clock::time_point now = Clock::now());
    // The session of a cookie value, unless unknown or expired.
    std::optional<CommitteeSession> find(const std::string& id, Clock::time_point now = Clock::now());
    // Whether the form's csrf value is the session's (compared in constant time).
    bool csrfMatches(const std::string& id, const std::string& csrf, Clock::time_point now = Clock::now());
    void setNotice(const std::string& id, const std::string& notice);
    // Returns the notice and clears it.
    std::string takeNotice(const std::string& id);
    void close(const std::string& id);

    std::chrono::seconds lifetime() const { return lifetime_; }

private:
    struct Entry {
        CommitteeSession session;
        Clock::time_point expires;
    };
    void forgetExpired(Clock::time_point now);

    std::chrono::seconds lifetime_;
    std::size_t maxSessions_;
    std::mutex mutex_;
    std::map<std::string, Entry> sessions_;
};

} // namespace korvane::robot
