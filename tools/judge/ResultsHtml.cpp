// results.html: the published page. One file, its style inside, no script, nothing
// fetched: it reads the same from a web server, a mail attachment or a USB stick.
#include "contract/AsciiText.h"
#include "tools/output/MarkupText.h"
#include "tools/judge/ResultFiles.h"
#include "tools/judge/Standings.h"

namespace korvane::judge {
namespace {

// Text for HTML content and quoted attributes.
std::string htmlEscaped(std::string_view text)
{
    return markupText(text, Markup::Html);
}

// Calls hold letters, digits and '/', so only the few characters a link cannot hold
// as they are need escaping.
std::string linkTo(const std::string& file)
{
    std::string out;
    for (unsigned char c : file) {
        if (ascii::isLetter(static_cast<char>(c)) || ascii::isDigit(static_cast<char>(c)) ||
            c == '-' || c == '.' || c == '_') {
            out += static_cast<char>(c);
        } else {
            static const char kHex[] = "0123456789ABCDEF";
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 15];
        }
    }
    return "reports/" + out;
}

const char kStyle[] = R"(body{font-family:system-ui,-apple-system,"Segoe UI",Roboto,sans-serif;margin:2em auto;max-width:60em;padding:0 1em;color:#1d2433;background:#fff}
h1{font-size:1.6em;margin-bottom:.2em}
p.meta{color:#4b5563;margin-top:0}
h2{font-size:1.15em;margin:1.6em 0 .4em;border-bottom:2px solid #2f5d8a;padding-bottom:.2em}
table{border-collapse:collapse;width:100%}
th,td{padding:.3em .6em;text-align:right;border-bottom:1px solid #e5e7eb}
th{background:#eef3f8;font-weight:600}
td.call,th.call{text-align:left}
tr:nth-child(even) td{background:#f9fafb}
td.score{font-weight:700}
a{color:#2f5d8a}
ul.unreadable li{margin:.2em 0}
footer{margin-top:2em;color:#6b7280;font-size:.9em}
nav ul{list-style:none;padding:0;margin:.5em 0;columns:2}
nav li{margin:.15em 0})";

std::string callLink(const Station& st)
{
    return "<a href=\"" + htmlEscaped(linkTo(reportFileName(st.call))) + "\">" + htmlEscaped(st.call) + "</a>";
}

std::string standingsTable(const Judgement& j, const Category& c, const std::string& id,
                           std::uint32_t StationResult::*rank)
{
    std::string out = "<h2 id=\"" + id + "\">" + htmlEscaped(c.name) +
                      "</h2>\n<table>\n<thead><tr><th>Rank</th><th class=\"call\">Call</th>";
    for (const StandingsColumn& column : kStandingsColumns)
        out += std::string("<th>") + column.heading + "</th>";
    out += "</tr></thead>\n<tbody>\n";
    for (std::uint32_t s : c.stations) {
        out += "<tr><td>" + std::to_string(j.results[s].*rank) + "</td><td class=\"call\">" +
               callLink(j.logs.stations[s]) + "</td>";
        for (const StandingsColumn& column : kStandingsColumns) {
            const std::string value = column.value(j, s);
            const bool score = std::string_view(column.csvName) == "score";
            out += std::string(score ? "<td class=\"score\">" : "<td>") +
                   (value.empty() ? std::string("&ndash;") : htmlEscaped(value)) + "</td>";
        }
        out += "</tr>\n";
    }
    return out + "</tbody>\n</table>\n";
}

std::string findingTotalsTable(const Judgement& j)
{
    const auto totals = contestCounts(j);
    std::string out = "<h2 id=\"findings\">QSOs in all logs, by finding</h2>\n<table>\n<tbody>\n";
    for (const FindingKind& kind : kFindingKinds)
        out += std::string("<tr><td class=\"call\">") + htmlEscaped(kind.label) + "</td><td>" +
               std::to_string(totals[static_cast<int>(kind.finding)]) + "</td></tr>\n";
    return out + "</tbody>\n</table>\n";
}

} // namespace

std::string resultsHtml(const Judgement& j)
{
    std::string out = "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
                      "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
                      "<title>" + htmlEscaped(j.rules.contest.name) + " results</title>\n<style>\n";
    out += kStyle;
    out += "\n</style>\n</head>\n<body>\n<h1>" + htmlEscaped(j.rules.contest.name) + " results</h1>\n";
    out += "<p class=\"meta\">" + htmlEscaped(periodText(j.rules)) + " &middot; " +
           std::to_string(j.logs.stations.size()) + " logs judged &middot; times may differ by " +
           std::to_string(j.rules.tolerance) + " minutes</p>\n";
    if (j.categories.size() > 1) {
        out += "<nav><ul>\n";
        for (std::size_t k = 0; k < j.categories.size(); ++k)
            out += "<li><a href=\"#category-" + std::to_string(k + 1) + "\">" + htmlEscaped(j.categories[k].name) +
                   "</a> (" + std::to_string(j.categories[k].stations.size()) + ")</li>\n";
        out += "</ul></nav>\n";
    }
    out += standingsTable(j, j.overall, "overall", &StationResult::overallRank);
    for (std::size_t k = 0; k < j.categories.size(); ++k)
        out += standingsTable(j, j.categories[k], "category-" + std::to_string(k + 1), &StationResult::rank);
    out += findingTotalsTable(j);
    if (!j.checkLogs.empty()) {
        out += "<h2>Check logs</h2>\n<p>They help the checking and are not ranked:";
        for (std::uint32_t s : j.checkLogs)
            out += " " + callLink(j.logs.stations[s]);
        out += "</p>\n";
    }
    if (!j.logs.unreadable.empty()) {
        out += "<h2>Logs that could not be read</h2>\n<p>Their stations count as not submitted.</p>\n"
               "<ul class=\"unreadable\">\n";
        for (const UnreadableLog& u : j.logs.unreadable)
            out += "<li>" + htmlEscaped(u.file) + (u.line ? ", line " + std::to_string(u.line) : "") +
                   (u.call.empty() ? "" : " (" + htmlEscaped(u.call) + ")") + ": " + htmlEscaped(u.reason) +
                   "</li>\n";
        out += "</ul>\n";
    }
    out += "<footer>Score: one point per valid QSO and one per distinct call among them, less "
           "any penalty. Each call links to its log check report.</footer>\n</body>\n</html>\n";
    return out;
}

} // namespace korvane::judge
