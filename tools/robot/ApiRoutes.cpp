// The JSON API: entrants' uploads and lookups, and the committee's calls with
// Authorization: Bearer TOKEN.
#include "tools/robot/ApiJson.h"
#include "tools/robot/ServerContext.h"

namespace korvane::robot {
namespace {

using nlohmann::json;

void jsonUploadAnswer(ServerContext& c, const httplib::Request& req, httplib::Response& res,
                  const httplib::ContentReader& reader)
{
    const UploadBody body = c.receiveUpload(req, res, reader);
    if (body.result == UploadBody::Result::RateLimited)
        return sendJson(res, 429, statusJson("rate-limited", errorSentence(429)));
    if (body.result == UploadBody::Result::TooLarge)
        return sendJson(res, 413, statusJson("too-large", "The log is larger than 5 MB."));
    if (body.result == UploadBody::Result::Broken)
        return sendJson(res, 400, statusJson("bad-request", errorSentence(400)));
    if (body.log().empty())
        return sendJson(res, 400, statusJson("bad-request",
                                             "No log: send it as the request body or as the form file \"log\"."));
    const SubmitOutcome outcome = c.robot.submit(body.log(), c.client(req));
    sendJson(res, submitHttpStatus(outcome), outcomeJson(outcome));
}

bool committee(ServerContext& c, const httplib::Request& req, httplib::Response& res)
{
    const std::string header = req.get_header_value("Authorization");
    const std::string scheme = "Bearer ";
    if (header.size() > scheme.size() && header.compare(0, scheme.size(), scheme) == 0 &&
        c.robot.tokenMatches(std::string_view(header).substr(scheme.size())))
        return true;
    res.set_header("WWW-Authenticate", "Bearer");
    sendJson(res, 401, statusJson("unauthorized", errorSentence(401)));
    return false;
}

// The JSON object of a committee call's body; a 400 sent when there is none.
std::optional<json> bodyObject(const httplib::Request& req, httplib::Response& res)
{
    json body = json::parse(req.body, nullptr, false);
    if (body.is_discarded() || !body.is_object()) {
        sendJson(res, 400, statusJson("bad-request", "The body must be a JSON object."));
        return std::nullopt;
    }
    return body;
}

void doneOrRefused(httplib::Response& res, bool ok, const std::string& error, int refusedStatus = 422)
{
    if (ok)
        sendJson(res, 200, statusJson("done", ""));
    else
        sendJson(res, refusedStatus, statusJson("refused", error));
}

void checklogAnswer(ServerContext& c, const httplib::Request& req, httplib::Response& res)
{
    const std::optional<json> body = bodyObject(req, res);
    if (!body)
        return;
    if (!body->contains("call") || !(*body)["call"].is_string() || !body->contains("checklog") ||
        !(*body)["checklog"].is_boolean())
        return sendJson(res, 400, statusJson("bad-request", "Give \"call\" (a string) and \"checklog\" (true or false)."));
    std::string error;
    doneOrRefused(res, c.robot.setChecklog((*body)["call"].get<std::string>(), (*body)["checklog"].get<bool>(), &error),
                  error);
}

void lateAnswer(ServerContext& c, const httplib::Request& req, httplib::Response& res)
{
    const std::optional<json> body = bodyObject(req, res);
    if (!body)
        return;
    if (!body->contains("number") || !(*body)["number"].is_number_integer() || (*body)["number"].get<std::int64_t>() <= 0)
        return sendJson(res, 400, statusJson("bad-request", "Give \"number\", the submission's number."));
    std::string error;
    doneOrRefused(res, c.robot.acceptLate((*body)["number"].get<std::int64_t>(), &error), error);
}

void windowAnswer(ServerContext& c, const httplib::Request& req, httplib::Response& res)
{
    const std::optional<json> body = bodyObject(req, res);
    if (!body)
        return;
    const json mode = body->value("mode", json());
    for (WindowMode m : {WindowMode::Automatic, WindowMode::Open, WindowMode::Closed})
        if (mode.is_string() && mode.get<std::string>() == windowModeName(m)) {
            std::string error;
            if (!c.robot.setWindow(m, &error))
                return sendJson(res, 500, statusJson("failed", error));
            return sendJson(res, 200, contestJson(c.robot.contest(), c.robot.window()));
        }
    sendJson(res, 400, statusJson("bad-request", "\"mode\" is \"automatic\", \"open\" or \"closed\"."));
}

void judgeAnswer(ServerContext& c, httplib::Response& res)
{
    std::string error;
    if (c.robot.judgeProgress().state == JudgeProgress::State::Running)
        return sendJson(res, 409, statusJson("running", "The judge is running already."));
    if (!c.robot.startJudge(&error))
        return sendJson(res, 409, statusJson("refused", error));
    sendJson(res, 202, judgeJson(c.robot.judgeProgress()));
}

// Adds a committee route: the token is checked before the handler runs.
void addCommittee(ServerContext& c, RouteTable& table, const char* method, const char* path,
                  const std::function<void(const httplib::Request&, httplib::Response&, const std::smatch&)>& handler)
{
    table.add(method, path, [&c, handler](const auto& req, auto& res, const auto& m) {
                   if (committee(c, req, res))
                       handler(req, res, m);
               });
}

} // namespace

void addApiRoutes(ServerContext& c, RouteTable& table)
{
    table.addUpload("/api/logs", UploadHandler([&c](const auto& req, auto& res, const auto& reader) {
                   jsonUploadAnswer(c, req, res, reader);
               }));
    table.add("GET", "/api/logs", [&c](const auto&, auto& res, const auto&) {
                   sendJson(res, 200, logsJson(c.robot.logsReceived()));
               });
    table.add("GET", "/api/receipts/([A-Za-z0-9_-]{1,64})", [&c](const auto&, auto& res, const auto& m) {
                   const std::optional<Receipt> receipt = c.robot.receipt(m[1].str());
                   if (!receipt)
                       return sendJson(res, 404, statusJson("not-found", "There is no receipt with this id."));
                   sendJson(res, 200, receiptJson(*receipt));
               });
    table.add("GET", "/api/contest", [&c](const auto&, auto& res, const auto&) {
                   sendJson(res, 200, contestJson(c.robot.contest(), c.robot.window()));
               });

    addCommittee(c, table, "GET", "/api/submissions", [&c](const auto&, auto& res, const auto&) {
        sendJson(res, 200, submissionsJson(c.robot.submissions()));
    });
    addCommittee(c, table, "GET", "/api/submissions/([0-9]{1,18})", [&c](const auto&, auto& res, const auto& m) {
        const std::optional<std::int64_t> n = positiveNumber(m[1].str());
        const std::optional<std::string> bytes = n ? c.robot.submissionBytes(*n) : std::nullopt;
        if (!bytes)
            return sendJson(res, 404, statusJson("not-found", "There is no submission with this number."));
        res.set_content(*bytes, "application/octet-stream");
    });
    addCommittee(c, table, "GET", "/api/archive", [&c](const auto&, auto& res, const auto&) {
        res.set_content(c.robot.latestArchive(), "application/x-tar");
    });
    addCommittee(c, table, "POST", "/api/checklog",
                 [&c](const auto& req, auto& res, const auto&) { checklogAnswer(c, req, res); });
    addCommittee(c, table, "POST", "/api/late", [&c](const auto& req, auto& res, const auto&) { lateAnswer(c, req, res); });
    addCommittee(c, table, "POST", "/api/window",
                 [&c](const auto& req, auto& res, const auto&) { windowAnswer(c, req, res); });
    addCommittee(c, table, "POST", "/api/judge", [&c](const auto&, auto& res, const auto&) { judgeAnswer(c, res); });
    addCommittee(c, table, "GET", "/api/judge", [&c](const auto&, auto& res, const auto&) {
        sendJson(res, 200, judgeJson(c.robot.judgeProgress()));
    });
    addCommittee(c, table, "POST", "/api/publish", [&c](const auto&, auto& res, const auto&) {
        std::string error;
        const bool ok = c.robot.publish(&error);
        doneOrRefused(res, ok, error, 409);
    });
}

} // namespace korvane::robot
