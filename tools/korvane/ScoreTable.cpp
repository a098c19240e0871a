#include "tools/korvane/ScoreTable.h"

#include <set>
#include <sstream>

namespace korvane {
namespace {

std::vector<std::string> lines(const std::string& text)
{
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        out.push_back(line);
    }
    return out;
}

} // namespace

std::string printableTable(const std::string& table)
{
    std::string out;
    for (const std::string& line : lines(table))
        out += line + "\n";
    return out;
}

std::vector<std::string> tableBands(const std::string& table)
{
    std::vector<std::string> bands;
    bool inBands = false;
    for (const std::string& line : lines(table)) {
        if (line.rfind("Band\t", 0) == 0) {
            inBands = true;
        } else if (line.rfind("Total\t", 0) == 0) {
            break;
        } else if (inBands) {
            bands.push_back(line.substr(0, line.find('\t')));
        }
    }
    return bands;
}

std::optional<int> tableNewCalls(const std::string& table)
{
    for (const std::string& line : lines(table)) {
        if (line.rfind("Total\t", 0) != 0)
            continue;
        const std::size_t tab = line.rfind('\t');
        try {
            return std::stoi(line.substr(tab + 1));
        } catch (...) {
            return std::nullopt;
        }
    }
    return std::nullopt;
}

std::vector<std::string> multipliers(const std::vector<LogQso>& qsos,
                                     const std::vector<std::string>& bandOrder,
                                     const std::string& listFilter)
{
    std::vector<std::string> list;
    std::set<std::string> seen;
    for (const std::string& band : bandOrder)
        for (const LogQso& q : qsos)
            if (q.band == band && !q.call.empty() && seen.insert(q.call).second &&
                q.call != listFilter)
                list.push_back(q.call);
    return list;
}

std::string wrapped(const std::vector<std::string>& words, std::size_t width, const std::string& indent)
{
    std::string out, line = indent;
    for (const std::string& w : words) {
        if (line.size() > indent.size() && line.size() + 1 + w.size() > width) {
            out += line + "\n";
            line = indent;
        }
        line += (line.size() > indent.size() ? " " : "") + w;
    }
    if (line.size() > indent.size())
        out += line + "\n";
    return out;
}

} // namespace korvane
