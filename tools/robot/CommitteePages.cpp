#include "tools/robot/CommitteePages.h"

#include "tools/robot/ApiJson.h"
#include "tools/robot/PageLayout.h"

namespace korvane::robot {
namespace {

std::string csrfField(const std::string& csrf)
{
    return "<input type=\"hidden\" name=\"csrf\" value=\"" + html(csrf) + "\">";
}

std::string postForm(const std::string& action, const std::string& csrf, const std::string& fields,
                     const std::string& button, bool inline_ = false)
{
    return "<form method=\"post\" action=\"" + action + "\"" + (inline_ ? " class=\"inline\"" : "") + ">" +
           csrfField(csrf) + fields + "<button type=\"submit\">" + html(button) + "</button></form>";
}

std::string submissionRows(const CommitteeView& v)
{
    std::string rows;
    for (const Submission& s : v.submissions) {
        const std::string number = std::to_string(s.number);
        std::string state = s.latest ? "judged" : "replaced";
        if (s.late) {
            state += s.early ? ", before the start" : ", late";
            state += s.accepted ? ", accepted" : ", not accepted";
        }
        std::string actions = "<a href=\"/committee/submissions/" + number + "\">download</a>";
        if (s.late && !s.accepted)
            actions += " " + postForm("/committee/late", v.csrf,
                                      "<input type=\"hidden\" name=\"number\" value=\"" + number + "\">",
                                      "Accept late", true);
        const std::pair<const char*, std::string> cells[] = {
            {"num", number},
            {"", html(s.receivedUtc)},
            {"call", html(s.call)},
            {"", html(s.category)},
            {"num", std::to_string(s.qsos)},
            {"num", std::to_string(s.claimedScore)},
            {"", html(s.format)},
            {"num", std::to_string(s.bytes)},
            {"", html(s.clientAddress)},
            {"", html(state)},
            {"", actions},
        };
        rows += "<tr>";
        for (const auto& [kind, text] : cells) {
            rows += *kind ? std::string("<td class=\"") + kind + "\">" : std::string("<td>");
            rows += text;
            rows += "</td>";
        }
        rows += "</tr>\n";
    }
    return rows;
}

std::string windowForm(const CommitteeView& v)
{
    std::string options;
    for (WindowMode m : {WindowMode::Automatic, WindowMode::Open, WindowMode::Closed}) {
        const std::string name = windowModeName(m);
        options += "<option value=\"";
        options += name;
        options += m == v.window.mode ? "\" selected>" : "\">";
        options += name;
        options += "</option>";
    }
    std::string state = v.window.open ? "open" : "closed";
    if (!v.window.why.empty())
        state += " (" + v.window.why + ")";
    return "<fieldset><legend>Submission window</legend><p>Uploads are " + html(state) + ".</p>" +
           postForm("/committee/window", v.csrf, "<label>Mode <select name=\"mode\">" + options + "</select></label> ",
                    "Set") +
           "</fieldset>\n";
}

std::string judgeSection(const CommitteeView& v)
{
    const JudgeProgress& j = v.judge;
    std::string text;
    switch (j.state) {
    case JudgeProgress::State::Idle: text = "The judge has not run yet."; break;
    case JudgeProgress::State::Running:
        text = j.stage + (j.total ? " (" + std::to_string(j.done) + " of " + std::to_string(j.total) + ")" : "");
        break;
    case JudgeProgress::State::Done: text = "Done " + j.finishedUtc + ": " + j.message; break;
    case JudgeProgress::State::Failed: text = "Failed: " + j.message; break;
    }
    std::string out = "<fieldset><legend>Judge</legend><p id=\"judge-progress\" data-state=\"" +
                      std::string(judgeStateName(j.state)) + "\">" + html(text) + "</p>";
    if (j.state == JudgeProgress::State::Running)
        out += "<p><a href=\"/committee\">Refresh</a></p>";
    else
        out += postForm("/committee/judge", v.csrf, "", "Run the judge on the latest logs");
    if (j.state == JudgeProgress::State::Done)
        out += " " + postForm("/committee/publish", v.csrf, "", "Publish these results");
    if (v.resultsPublished)
        out += "<p>Published: <a href=\"/results/\">the results page</a>.</p>";
    return out + "</fieldset>\n";
}

} // namespace

std::string loginPage(const std::string& refusal)
{
    std::string body = "<h1>Committee</h1>\n";
    if (!refusal.empty())
        body += "<p class=\"refusal\">" + html(refusal) + "</p>\n";
    body += "<form method=\"post\" action=\"/committee/login\"><p><label>Committee token "
            "<input type=\"password\" name=\"token\" autocomplete=\"current-password\"></label> "
            "<button type=\"submit\">Log in</button></p></form>\n";
    return pageHtml("Committee login", body);
}

std::string committeePage(const CommitteeView& v)
{
    std::string body = "<h1>Committee</h1>\n";
    if (!v.notice.empty())
        body += "<p class=\"notice\">" + html(v.notice) + "</p>\n";
    body += "<p>" + postForm("/committee/logout", v.csrf, "", "Log out", true) +
            " <a href=\"/committee/archive\">Download the latest logs (tar)</a></p>\n";
    body += windowForm(v) + judgeSection(v);
    body += "<fieldset><legend>Checklog</legend>" +
            postForm("/committee/checklog", v.csrf,
                     "<label>Call <input type=\"text\" name=\"call\" required></label> <label><select "
                     "name=\"checklog\"><option value=\"1\">checklog</option><option value=\"0\">scored "
                     "log</option></select></label> ",
                     "Mark") +
            "</fieldset>\n";
    body += "<h2>Every submission (" + std::to_string(v.submissions.size()) +
            ")</h2>\n<table class=\"submissions\"><thead><tr><th class=\"num\">#</th><th>Received (UTC)</th>"
            "<th>Call</th><th>Category</th><th class=\"num\">QSOs</th><th class=\"num\">Claimed</th>"
            "<th>Format</th><th class=\"num\">Bytes</th><th>From</th><th>State</th><th></th></tr></thead>\n"
            "<tbody>\n" + submissionRows(v) + "</tbody></table>\n";
    return pageHtml("Committee", body, true);
}

} // namespace korvane::robot
