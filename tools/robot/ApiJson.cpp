#include "tools/robot/ApiJson.h"

#include "tools/judge/Minutes.h"
#include "tools/robot/SubmissionWindow.h"

#include <algorithm>

namespace korvane::robot {

using nlohmann::json;

namespace {

json checkLines(const LogCheck& check, CheckLine::Level level)
{
    json lines = json::array();
    for (const CheckLine& l : check.lines)
        if (l.level == level)
            lines.push_back({{"line", l.line}, {"text", l.quoted}, {"message", l.message}});
    return lines;
}

} // namespace

json checkJson(const LogCheck& check)
{
    return {{"accepted", check.accepted},
            {"format", check.format},
            {"call", check.call},
            {"category", check.category},
            {"qsos", check.qsos},
            {"errors", checkLines(check, CheckLine::Level::Error)},
            {"warnings", checkLines(check, CheckLine::Level::Warning)},
            {"conversion", check.conversion}};
}

json receiptJson(const Receipt& r)
{
    json refused = json::array();
    for (const RefusedQso& q : r.refused)
        refused.push_back({{"line", q.line},
                           {"time", q.time},
                           {"call", q.call},
                           {"band", q.band},
                           {"mode", q.mode},
                           {"message", q.message}});
    return {{"id", r.id},
            {"url", "/receipts/" + r.id},
            {"sha256", r.sha256},
            {"received_utc", r.receivedUtc},
            {"call", r.call},
            {"category", r.category},
            {"qsos", r.qsos},
            {"claimed_score", r.claimedScore},
            {"refused", refused},
            {"late", r.late},
            {"early", r.early},
            {"replaced", r.replaced},
            {"format", r.format},
            {"conversion", r.conversion}};
}

json outcomeJson(const SubmitOutcome& outcome)
{
    json body = {{"status", statusName(outcome.status)},
                 {"message", outcome.message},
                 {"same_as_before", outcome.sameAsBefore},
                 {"check", checkJson(outcome.check)}};
    if (outcome.receipt)
        body["receipt"] = receiptJson(*outcome.receipt);
    if (outcome.keptAs > 0)
        body["kept_as"] = outcome.keptAs; // the number to name when asking the committee
    return body;
}

json logsJson(const std::vector<ReceivedLog>& logs)
{
    json list = json::array();
    json categories = json::object();
    for (const ReceivedLog& l : logs) {
        list.push_back({{"call", l.call},
                        {"category", l.category},
                        {"qsos", l.qsos},
                        {"claimed_score", l.claimedScore},
                        {"latest_utc", l.latestUtc},
                        {"checklog", l.checklog},
                        {"late", l.late},
                        {"early", l.early}});
        json& count = categories[l.category];
        count = count.is_null() ? 1 : count.get<int>() + 1;
    }
    return {{"logs", list}, {"categories", categories}};
}

json contestJson(const judge::ContestDefinition& contest, const WindowState& window)
{
    return {{"name", contest.name},
            {"start_utc", minuteText(contest.start)},
            {"end_utc", minuteText(contest.end)},
            {"deadline_utc", minuteText(contest.deadline)},
            {"window",
             {{"open", window.open},
              {"mode", windowModeName(window.mode)},
              {"seconds_left", window.secondsLeft},
              {"why", window.why}}}};
}

json submissionsJson(const std::vector<Submission>& submissions)
{
    json list = json::array();
    for (const Submission& s : submissions)
        list.push_back({{"number", s.number},
                        {"receipt_id", s.receiptId},
                        {"sha256", s.sha256},
                        {"received_utc", s.receivedUtc},
                        {"call", s.call},
                        {"category", s.category},
                        {"client_address", s.clientAddress},
                        {"format", s.format},
                        {"bytes", s.bytes},
                        {"qsos", s.qsos},
                        {"claimed_score", s.claimedScore},
                        {"latest", s.latest},
                        {"late", s.late},
                        {"early", s.early},
                        {"accepted", s.accepted}});
    return {{"submissions", list}};
}

const char* judgeStateName(JudgeProgress::State state)
{
    switch (state) {
    case JudgeProgress::State::Running: return "running";
    case JudgeProgress::State::Done: return "done";
    case JudgeProgress::State::Failed: return "failed";
    case JudgeProgress::State::Idle: break;
    }
    return "idle";
}

json judgeJson(const JudgeProgress& p)
{
    return {{"state", judgeStateName(p.state)},
            {"stage", p.stage},
            {"done", p.done},
            {"total", p.total},
            {"message", p.message},
            {"finished_utc", p.finishedUtc},
            {"published", p.published}};
}

json statusJson(const std::string& status, const std::string& message)
{
    return {{"status", status}, {"message", message}};
}

std::string jsonText(const json& value)
{
    return value.dump(-1, ' ', false, json::error_handler_t::replace);
}

} // namespace korvane::robot
