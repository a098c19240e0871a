#include "LargeLog.h"

#include "tools/logs/TextUtil.h"

#include <algorithm>
#include <cstdio>
#include <sstream>

namespace bench {

namespace {

// A QSO line's fields: QSO: freq mode date time call rst serial call rst serial.
std::vector<std::string> fieldsOf(const std::string& line)
{
    std::vector<std::string> fields;
    std::istringstream in(line);
    for (std::string field; in >> field;)
        fields.push_back(field);
    return fields;
}

} // namespace

std::size_t qsoLines(const std::string& log)
{
    std::size_t n = 0;
    for (const std::string& line : korvane::textLines(log))
        n += line.rfind("QSO:", 0) == 0;
    return n;
}

std::string largeLog(const std::vector<std::string>& logs, std::size_t qsos)
{
    const auto largest = std::max_element(logs.begin(), logs.end(), [](const std::string& a, const std::string& b) {
        return qsoLines(a) < qsoLines(b);
    });
    if (largest == logs.end())
        return {};
    std::vector<std::string> header, footer;
    std::string call;
    for (const std::string& line : korvane::textLines(*largest)) {
        if (line.rfind("CALLSIGN:", 0) == 0)
            call = fieldsOf(line).back();
        // Its claimed score is not this log's.
        if (line.rfind("QSO:", 0) == 0 || line.rfind("X-QSO:", 0) == 0 || line.rfind("CLAIMED-SCORE:", 0) == 0)
            continue;
        (line.rfind("END-OF-LOG", 0) == 0 ? footer : header).push_back(line);
    }
    std::vector<std::vector<std::string>> taken;
    for (auto log = largest; taken.size() < qsos;) {
        for (const std::string& line : korvane::textLines(*log)) {
            std::vector<std::string> f = fieldsOf(line);
            if (f.size() == 11 && f[0] == "QSO:" && f[8] != call && taken.size() < qsos)
                taken.push_back(std::move(f));
        }
        if (++log == logs.end())
            log = logs.begin();
        if (log == largest)
            return {};
    }
    std::stable_sort(taken.begin(), taken.end(), [](const auto& a, const auto& b) {
        return a[3] + a[4] < b[3] + b[4];
    });
    std::string text;
    for (const std::string& line : header)
        text += line + "\r\n";
    for (std::size_t i = 0; i < taken.size(); ++i) {
        std::vector<std::string>& f = taken[i];
        char serial[24];
        std::snprintf(serial, sizeof serial, "%03zu", i + 1);
        f[5] = call;
        f[7] = serial;
        for (std::size_t k = 0; k < f.size(); ++k)
            text += (k ? " " : "") + f[k];
        text += "\r\n";
    }
    for (const std::string& line : footer)
        text += line + "\r\n";
    return text;
}

} // namespace bench
