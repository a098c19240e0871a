// The committee's pages: login with the token, a session cookie, and forms that each
// carry the session's CSRF token, checked before anything changes.
#include "tools/robot/ApiJson.h"
#include "tools/robot/CommitteePages.h"
#include "tools/robot/PageLayout.h"
#include "tools/robot/ServerContext.h"

namespace korvane::robot {
namespace {

const char kCookie[] = "robot_session";

std::string sessionCookie(const std::string& value, long long maxAge, bool secure)
{
    return std::string(kCookie) + "=" + value + "; Path=/; Max-Age=" + std::to_string(maxAge) +
           "; HttpOnly; SameSite=Strict" + (secure ? "; Secure" : "");
}

std::optional<CommitteeSession> session(ServerContext& c, const httplib::Request& req)
{
    const std::string id = cookieValue(req, kCookie);
    return id.empty() ? std::nullopt : c.sessions.find(id);
}

void committeeAnswer(ServerContext& c, const httplib::Request& req, httplib::Response& res)
{
    const std::optional<CommitteeSession> s = session(c, req);
    if (!s)
        return sendHtml(res, 200, loginPage());
    CommitteeView view;
    view.submissions = c.robot.submissions();
    view.window = c.robot.window();
    view.judge = c.robot.judgeProgress();
    view.resultsPublished = !c.robot.publishedFolder().empty();
    view.csrf = s->csrf;
    view.notice = c.sessions.takeNotice(s->id);
    sendHtml(res, 200, committeePage(view));
}

void loginAnswer(ServerContext& c, const httplib::Request& req, httplib::Response& res)
{
    const std::string token = req.get_param_value("token");
    if (token.empty() || !c.robot.tokenMatches(token))
        return sendHtml(res, 401, loginPage("That is not the committee's token."));
    const std::optional<CommitteeSession> s = c.sessions.open();
    if (!s)
        return sendHtml(res, 500, messagePage("No session", "The robot could not make a session id; try again."));
    res.set_header("Set-Cookie",
                   sessionCookie(s->id, c.sessions.lifetime().count(), overTls(req, c.options.behindProxy)));
    redirectTo(res, "/committee");
}

// What one committee form does; the notice for the next page, or the refusal.
using FormAction = std::function<std::string(ServerContext&, const httplib::Request&)>;

std::string outcome(bool ok, const std::string& done, const std::string& error)
{
    return ok ? done : "Not done: " + error;
}

void formAnswer(ServerContext& c, const httplib::Request& req, httplib::Response& res, const FormAction& action)
{
    const std::string id = cookieValue(req, kCookie);
    if (id.empty() || !c.sessions.csrfMatches(id, req.get_param_value("csrf")))
        return sendHtml(res, 403, messagePage("Refused", "This form is not from a committee page of this session: "
                                                         "open the committee page and try again."));
    c.sessions.setNotice(id, action(c, req));
    redirectTo(res, "/committee");
}

std::string checklogAction(ServerContext& c, const httplib::Request& req)
{
    const std::string call = req.get_param_value("call");
    const bool checklog = req.get_param_value("checklog") != "0";
    std::string error;
    const bool ok = c.robot.setChecklog(call, checklog, &error);
    return outcome(ok, call + (checklog ? " is now a checklog." : " is now a scored log."), error);
}

std::string lateAction(ServerContext& c, const httplib::Request& req)
{
    const std::optional<std::int64_t> n = positiveNumber(req.get_param_value("number"));
    std::string error = "no such submission";
    const bool ok = n && c.robot.acceptLate(*n, &error);
    return outcome(ok, "Submission " + req.get_param_value("number") + " accepted late.", error);
}

std::string windowAction(ServerContext& c, const httplib::Request& req)
{
    const std::string mode = req.get_param_value("mode");
    std::string error = "the mode is automatic, open or closed";
    bool ok = false;
    for (WindowMode m : {WindowMode::Automatic, WindowMode::Open, WindowMode::Closed})
        if (mode == windowModeName(m))
            ok = c.robot.setWindow(m, &error);
    return outcome(ok, "The submission window is now " + mode + ".", error);
}

std::string judgeAction(ServerContext& c, const httplib::Request&)
{
    std::string error;
    return outcome(c.robot.startJudge(&error), "The judge is running.", error);
}

std::string publishAction(ServerContext& c, const httplib::Request&)
{
    std::string error;
    return outcome(c.robot.publish(&error), "The results are published at /results/.", error);
}

void withSession(ServerContext& c, const httplib::Request& req, httplib::Response& res,
                 const std::function<void()>& answer)
{
    if (!session(c, req))
        return redirectTo(res, "/committee");
    answer();
}

} // namespace

void addCommitteeRoutes(ServerContext& c, RouteTable& table)
{
    table.add("GET", "/committee", [&c](const auto& req, auto& res, const auto&) { committeeAnswer(c, req, res); });
    table.add("POST", "/committee/login", [&c](const auto& req, auto& res, const auto&) { loginAnswer(c, req, res); });
    table.add("POST", "/committee/logout", [&c](const auto& req, auto& res, const auto&) {
                   formAnswer(c, req, res, [](ServerContext& c, const httplib::Request& req) {
                       c.sessions.close(cookieValue(req, kCookie));
                       return std::string();
                   });
                   if (res.status == 303)
                       res.set_header("Set-Cookie", sessionCookie("", 0, overTls(req, c.options.behindProxy)));
               });
    const std::pair<const char*, FormAction> forms[] = {{"/committee/checklog", checklogAction},
                                                        {"/committee/late", lateAction},
                                                        {"/committee/window", windowAction},
                                                        {"/committee/judge", judgeAction},
                                                        {"/committee/publish", publishAction}};
    for (const auto& [path, action] : forms)
        table.add("POST", path, [&c, action = action](const auto& req, auto& res, const auto&) {
                       formAnswer(c, req, res, action);
                   });
    table.add("GET", "/committee/submissions/([0-9]{1,18})", [&c](const auto& req, auto& res, const auto& m) {
                   withSession(c, req, res, [&] {
                       const std::optional<std::int64_t> n = positiveNumber(m[1].str());
                       const std::optional<std::string> bytes = n ? c.robot.submissionBytes(*n) : std::nullopt;
                       if (!bytes)
                           return sendHtml(res, 404, messagePage("No such submission", errorSentence(404)));
                       res.set_content(*bytes, "application/octet-stream");
                       res.set_header("Content-Disposition",
                                      "attachment; filename=\"submission-" + std::to_string(*n) + ".log\"");
                   });
               });
    table.add("GET", "/committee/archive", [&c](const auto& req, auto& res, const auto&) {
                   withSession(c, req, res, [&] {
                       res.set_content(c.robot.latestArchive(), "application/x-tar");
                       res.set_header("Content-Disposition", "attachment; filename=\"logs.tar\"");
                   });
               });
    // The page's script follows the judge with the session cookie, not the token.
    table.add("GET", "/committee/progress", [&c](const auto& req, auto& res, const auto&) {
                   if (!session(c, req))
                       return sendJson(res, 401, statusJson("unauthorized", errorSentence(401)));
                   sendJson(res, 200, judgeJson(c.robot.judgeProgress()));
               });
}

} // namespace korvane::robot
