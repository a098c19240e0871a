#include "tools/robot/SubmissionWindow.h"

#include <ctime>

namespace korvane::robot {
namespace {

// Days from the judge's epoch, 30 December 1899, to the Unix one.
constexpr long long kUnixEpochDay = 25569;

} // namespace

std::string minuteText(const std::optional<judge::Minute>& minute)
{
    return minute ? judge::formatMinute(*minute, "%Y-%m-%d %H:%M") : std::string();
}

std::string utcText(Clock::time_point time)
{
    const std::time_t t = Clock::to_time_t(time);
    std::tm tm{};
    gmtime_r(&t, &tm);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &tm);
    return text;
}

judge::Minute minuteOfTime(Clock::time_point time)
{
    const long long seconds = std::chrono::duration_cast<std::chrono::seconds>(time.time_since_epoch()).count();
    long long minutes = seconds / 60 - (seconds < 0 && seconds % 60 != 0);
    minutes += kUnixEpochDay * 1440;
    if (minutes < 0)
        return 0;
    return minutes >= judge::kEndOfMinutes ? judge::kEndOfMinutes : static_cast<judge::Minute>(minutes);
}

WindowState windowAt(const judge::ContestDefinition& contest, WindowMode mode, Clock::time_point now)
{
    WindowState w;
    w.mode = mode;
    if (contest.start)
        w.startUtc = minuteText(*contest.start);
    if (contest.deadline)
        w.deadlineUtc = minuteText(*contest.deadline);
    const judge::Minute minute = minuteOfTime(now);
    switch (mode) {
    case WindowMode::Open:
        w.open = true;
        w.why = "the committee has opened the window";
        break;
    case WindowMode::Closed:
        w.open = false;
        w.why = "the committee has closed the window";
        break;
    case WindowMode::Automatic:
        if (contest.start && minute < *contest.start) {
            w.beforeStart = true;
            w.why = "the contest has not started: logs are taken from " + w.startUtc + " UTC";
        } else if (contest.deadline && minute >= *contest.deadline) {
            w.why = "the deadline " + w.deadlineUtc + " UTC has passed";
        } else {
            w.open = true;
            w.why = contest.deadline ? "logs are taken till " + w.deadlineUtc + " UTC" : "logs are taken; there is no deadline";
        }
        break;
    }
    if (w.open && contest.deadline) {
        const long long deadlineUnix = (static_cast<long long>(*contest.deadline) - kUnixEpochDay * 1440) * 60;
        const long long nowUnix = std::chrono::duration_cast<std::chrono::seconds>(now.time_since_epoch()).count();
        w.secondsLeft = deadlineUnix > nowUnix ? deadlineUnix - nowUnix : 0;
    }
    return w;
}

const char* windowModeName(WindowMode mode)
{
    switch (mode) {
    case WindowMode::Open:
        return "open";
    case WindowMode::Closed:
        return "closed";
    case WindowMode::Automatic:
        break;
    }
    return "automatic";
}

WindowMode windowModeOf(const std::string& name)
{
    if (name == "open")
        return WindowMode::Open;
    if (name == "closed")
        return WindowMode::Closed;
    return WindowMode::Automatic;
}

} // namespace korvane::robot
