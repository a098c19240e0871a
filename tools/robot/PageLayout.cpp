#include "tools/robot/PageLayout.h"

#include "tools/output/MarkupText.h"

namespace korvane::robot {

std::string html(std::string_view text)
{
    return markupText(text, Markup::Html);
}

std::string pageHtml(const std::string& title, const std::string& body, bool withScript)
{
    std::string page = "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
                       "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
                       "<title>" + html(title) + "</title>\n"
                       "<link rel=\"stylesheet\" href=\"/style.css\">\n";
    if (withScript)
        page += "<script src=\"/robot.js\" defer></script>\n";
    page += "</head>\n<body>\n<header><nav><a href=\"/\">Upload a log</a> <a href=\"/logs\">Logs received</a> "
            "<a href=\"/results/\">Results</a> <a href=\"/committee\">Committee</a></nav></header>\n<main>\n";
    page += body;
    page += "</main>\n</body>\n</html>\n";
    return page;
}

std::string messagePage(const std::string& title, const std::string& sentence)
{
    return pageHtml(title, "<h1>" + html(title) + "</h1>\n<p class=\"message\">" + html(sentence) +
                               "</p>\n<p><a href=\"/\">Back to the upload page</a></p>\n");
}

std::string durationText(long long seconds)
{
    if (seconds < 0)
        return {};
    const long long days = seconds / 86400, hours = seconds % 86400 / 3600, minutes = seconds % 3600 / 60;
    std::string text;
    if (days > 0)
        text += std::to_string(days) + (days == 1 ? " day " : " days ");
    if (days > 0 || hours > 0)
        text += std::to_string(hours) + " h ";
    text += std::to_string(minutes) + " min";
    if (days == 0 && hours == 0)
        text += " " + std::to_string(seconds % 60) + " s";
    return text;
}

} // namespace korvane::robot
