#include "tools/robot/CommitteeSessions.h"

#include "tools/robot/Secrets.h"

namespace korvane::robot {

CommitteeSessions::CommitteeSessions(std::chrono::seconds lifetime, std::size_t maxSessions)
    : lifetime_(lifetime), maxSessions_(maxSessions)
{
}

std::optional<CommitteeSession> CommitteeSessions::open(Clock::time_point now)
{
    CommitteeSession session{newToken(), newToken(), {}};
    if (session.id.empty() || session.csrf.empty())
        return std::nullopt;
    std::lock_guard<std::mutex> lock(mutex_);
    forgetExpired(now);
    // Logins beyond the bound push out the one that expires first.
    while (sessions_.size() >= maxSessions_) {
        auto first = sessions_.begin();
        for (auto it = sessions_.begin(); it != sessions_.end(); ++it)
            if (it->second.expires < first->second.expires)
                first = it;
        sessions_.erase(first);
    }
    sessions_[session.id] = Entry{session, now + lifetime_};
    return session;
}

std::optional<CommitteeSession> CommitteeSessions::find(const std::string& id, Clock::time_point now)
{
    std::lock_guard<std::mutex> lock(mutex_);
    auto it = sessions_.find(id);
    if (it == sessions_.end())
        return std::nullopt;
    if (it->second.expires <= now) {
        sessions_.erase(it);
        return std::nullopt;
    }
    return it->second.session;
}

bool CommitteeSessions::csrfMatches(const std::string& id, const std::string& csrf, Clock::time_point now)
{
    const std::optional<CommitteeSession> session = find(id, now);
    return session && !csrf.empty() && sameSecret(session->csrf, csrf);
}

void CommitteeSessions::setNotice(const std::string& id, const std::string& notice)
{
    std::lock_guard<std::mutex> lock(mutex_);
    auto it = sessions_.find(id);
    if (it != sessions_.end())
        it->second.session.notice = notice;
}

std::string CommitteeSessions::takeNotice(const std::string& id)
{
    std::lock_guard<std::mutex> lock(mutex_);
    auto it = sessions_.find(id);
    if (it == sessions_.end())
        return {};
    std::string notice;
    notice.swap(it->second.session.notice);
    return notice;
}

void CommitteeSessions::close(const std::string& id)
{
    std::lock_guard<std::mutex> lock(mutex_);
    sessions_.erase(id);
}

void CommitteeSessions::forgetExpired(Clock::time_point now)
{
    for (auto it = sessions_.begin(); it != sessions_.end();)
        it = it->second.expires <= now ? sessions_.erase(it) : std::next(it);
}

} // namespace korvane::robot
