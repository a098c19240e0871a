#include "tools/robot/EntrantPages.h"

#include "tools/robot/ApiJson.h"
#include "tools/robot/PageLayout.h"

#include <map>

namespace korvane::robot {
namespace {

std::string numberCell(long long n)
{
    return "<td class=\"num\">" + std::to_string(n) + "</td>";
}

std::string contestFacts(const judge::ContestDefinition& contest, const WindowState& window)
{
    std::string out = "<p class=\"meta\">";
    if (contest.start && contest.end)
        out += "Contest period: " + html(minuteText(contest.start)) + " to " + html(minuteText(contest.end)) +
               " UTC. ";
    out += contest.deadline ? "Logs are due by " + html(minuteText(contest.deadline)) + " UTC."
                            : std::string("There is no deadline for logs.");
    out += "</p>\n";
    if (window.open) {
        out += "<p>Uploads are open";
        if (window.secondsLeft >= 0)
            out += ": <span id=\"time-left\" data-seconds=\"" + std::to_string(window.secondsLeft) + "\">" +
                   html(durationText(window.secondsLeft)) + "</span> left";
        out += ".</p>\n";
    } else {
        out += "<p class=\"refusal\">Uploads are closed: " + html(window.why) + ".</p>\n";
    }
    return out;
}

// A text area keeps its text as sent: the newline after the tag is the one the browser
// drops, so a log that starts with an empty line keeps it.
std::string logForm(const std::string& text, const std::string& button)
{
    return "<form method=\"post\" action=\"/upload\" enctype=\"multipart/form-data\">\n"
           "<p><label>Log file (Cabrillo or ADIF): <input type=\"file\" name=\"log\"></label></p>\n"
           "<p><label for=\"log-text\">Or paste the log here:</label></p>\n"
           "<textarea id=\"log-text\" name=\"text\" spellcheck=\"false\">\n" +
           html(text) + "</textarea>\n<p><button type=\"submit\">" + html(button) + "</button></p>\n</form>\n";
}

std::string findingsTable(const LogCheck& check, CheckLine::Level level, const char* title, const char* cls)
{
    std::string rows;
    for (const CheckLine& l : check.lines)
        if (l.level == level)
            rows += "<tr><td class=\"num\">" + (l.line ? std::to_string(l.line) : std::string("-")) +
                    "</td><td class=\"line\">" + html(l.quoted) + "</td><td class=\"msg\">" + html(l.message) +
                    "</td></tr>\n";
    if (rows.empty())
        return {};
    return std::string("<h2>") + title + "</h2>\n<table class=\"" + cls +
           "\"><thead><tr><th class=\"num\">Line</th><th>The line as sent</th><th>What is wrong</th></tr></thead>\n"
           "<tbody>\n" + rows + "</tbody></table>\n";
}

std::string conversionList(const std::vector<std::string>& notes)
{
    if (notes.empty())
        return {};
    std::string out = "<h2>Converted from ADIF</h2>\n<ul class=\"conversion\">\n";
    for (const std::string& n : notes)
        out += "<li>" + html(n) + "</li>\n";
    return out + "</ul>\n";
}

std::string sortLink(const char* label, LogsOrder::Key key, const LogsOrder& current, bool number)
{
    const bool same = current.key == key;
    const bool nextDescending = same ? !current.descending : number;
    std::string link = std::string("<th") + (number ? " class=\"num\"" : "") + "><a href=\"/logs?sort=" +
                       logsOrderKeyName(key) + "&amp;order=" + (nextDescending ? "desc" : "asc") + "\">" + label +
                       "</a>";
    if (same)
        link += current.descending ? " &#9660;" : " &#9650;";
    return link + "</th>";
}

} // namespace

std::string uploadPage(const judge::ContestDefinition& contest, const WindowState& window,
                       const std::string& notice)
{
    std::string body = "<h1>" + html(contest.name) + ": send your log</h1>\n" + contestFacts(contest, window);
    if (!notice.empty())
        body += "<p class=\"refusal\">" + html(notice) + "</p>\n";
    body += "<p>Send a Cabrillo or ADIF log of at most 5 MB. It is checked at once: you see what is "
            "wrong line by line, or get a receipt.</p>\n";
    body += logForm({}, "Send the log");
    return pageHtml(contest.name + ": send your log", body, true);
}

std::string checkPage(const SubmitOutcome& outcome, const std::string& sent)
{
    const LogCheck& check = outcome.check;
    std::string body = "<h1>The log check found errors</h1>\n<p class=\"refusal\">" + html(outcome.message) +
                       "</p>\n";
    if (!check.format.empty())
        body += "<p class=\"meta\">Read as " + html(check.format) +
                (check.call.empty() ? std::string() : ", station " + html(check.call)) + ", " +
                std::to_string(check.qsos) + " QSOs.</p>\n";
    body += findingsTable(check, CheckLine::Level::Error, "Errors: the log is not accepted until they are fixed",
                          "errors");
    body += findingsTable(check, CheckLine::Level::Warning, "Warnings: accepted, but worth a look", "warnings");
    body += conversionList(check.conversion);
    body += "<h2>Fix the log here and send it again</h2>\n" + logForm(sent, "Send again");
    return pageHtml("Log check", body);
}

std::string receiptPage(const Receipt& r, bool sameAsBefore)
{
    std::string body = "<h1>Receipt for " + html(r.call) + "</h1>\n";
    if (sameAsBefore)
        body += "<p class=\"notice\">These bytes were received before: this is the same receipt.</p>\n";
    if (r.replaced)
        body += "<p class=\"notice\">A later upload from " + html(r.call) + " replaced this log for judging.</p>\n";
    if (r.late)
        body += r.early ? "<p class=\"notice\">Accepted by the committee though sent before the contest's start.</p>\n"
                        : "<p class=\"notice\">Accepted by the committee after the deadline.</p>\n";
    body += "<dl class=\"receipt\">\n<dt>Receipt</dt><dd id=\"receipt-id\">" + html(r.id) + "</dd>\n" +
            "<dt>SHA-256 of the bytes received</dt><dd><code>" + html(r.sha256) + "</code></dd>\n" +
            "<dt>Received</dt><dd>" + html(r.receivedUtc) + " UTC</dd>\n" + "<dt>Call</dt><dd class=\"call\">" +
            html(r.call) + "</dd>\n" + "<dt>Category</dt><dd>" + html(r.category) + "</dd>\n" +
            "<dt>Format</dt><dd>" + html(r.format) + "</dd>\n" + "<dt>QSOs</dt><dd>" + std::to_string(r.qsos) +
            "</dd>\n" + "<dt>Claimed score</dt><dd id=\"claimed-score\">" + std::to_string(r.claimedScore) +
            "</dd>\n</dl>\n";
    body += "<p>This receipt's own address: <a href=\"/receipts/" + html(r.id) + "\">/receipts/" + html(r.id) +
            "</a></p>\n";
    if (!r.refused.empty()) {
        body += "<h2>QSOs the tour rule refuses (" + std::to_string(r.refused.size()) +
                ")</h2>\n<table><thead><tr><th class=\"num\">Line</th><th>Time (UTC)</th><th>Call</th>"
                "<th>Band</th><th>Mode</th><th>Why</th></tr></thead>\n<tbody>\n";
        for (const RefusedQso& q : r.refused)
            body += "<tr>" + numberCell(static_cast<long long>(q.line)) + "<td class=\"time\">" + html(q.time) + "</td><td>" +
                    html(q.call) + "</td><td>" + html(q.band) + "</td><td>" + html(q.mode) + "</td><td>" +
                    html(q.message) + "</td></tr>\n";
        body += "</tbody></table>\n";
    }
    body += conversionList(r.conversion);
    return pageHtml("Receipt for " + r.call, body);
}

std::string logsPage(const std::vector<ReceivedLog>& logs, const LogsOrder& order)
{
    std::map<std::string, std::size_t> perCategory;
    for (const ReceivedLog& l : logs)
        ++perCategory[l.category];
    std::string body = "<h1>Logs received</h1>\n<p class=\"meta\">" + std::to_string(logs.size()) +
                       (logs.size() == 1 ? " log" : " logs") + " received.</p>\n";
    body += "<table class=\"logs\"><thead><tr>" + sortLink("Call", LogsOrder::Key::Call, order, false) +
            sortLink("Category", LogsOrder::Key::Category, order, false) +
            sortLink("QSOs", LogsOrder::Key::Qsos, order, true) +
            sortLink("Claimed score", LogsOrder::Key::Score, order, true) +
            sortLink("Latest upload (UTC)", LogsOrder::Key::Time, order, false) + "</tr></thead>\n<tbody>\n";
    for (const ReceivedLog& l : logs) {
        std::string call = html(l.call);
        if (l.checklog)
            call += " (checklog)";
        if (l.late)
            call += l.early ? " (before the start)" : " (late)";
        body += "<tr><td class=\"call\">" + call + "</td><td>" + html(l.category) + "</td>" +
                numberCell(static_cast<long long>(l.qsos)) + numberCell(l.claimedScore) + "<td>" +
                html(l.latestUtc) + "</td></tr>\n";
    }
    body += "</tbody></table>\n<h2>Logs per category</h2>\n<table class=\"categories\"><thead><tr><th>Category</th>"
            "<th class=\"num\">Logs</th></tr></thead>\n<tbody>\n";
    for (const auto& [category, count] : perCategory)
        body += "<tr><td>" + html(category) + "</td>" + numberCell(static_cast<long long>(count)) + "</tr>\n";
    body += "</tbody></table>\n";
    return pageHtml("Logs received", body);
}

} // namespace korvane::robot
