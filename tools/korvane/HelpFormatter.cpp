#include "tools/korvane/HelpFormatter.h"

#include <algorithm>

namespace korvane {
namespace {

std::string wrapLine(const std::string& line, std::size_t descriptionColumn, std::size_t width)
{
    const std::size_t lead = line.find_first_not_of(' ');
    if (line.size() <= width || lead == std::string::npos)
        return line + "\n";
    const std::size_t indent = lead > 0 && lead < descriptionColumn ? descriptionColumn : lead;
    std::string out;
    std::string rest = line;
    while (rest.size() > width) {
        std::size_t cut = rest.rfind(' ', width);
        // A word longer than the room left stays whole rather than being split.
        if (cut == std::string::npos || cut <= indent)
            cut = rest.find(' ', width);
        if (cut == std::string::npos)
            break;
        out += rest.substr(0, cut) + "\n";
        const std::size_t next = rest.find_first_not_of(' ', cut);
        if (next == std::string::npos) {
            rest.clear();
            break;
        }
        rest = std::string(indent, ' ') + rest.substr(next);
    }
    return out + (rest.empty() ? "" : rest + "\n");
}

std::size_t editDistance(const std::string& a, const std::string& b)
{
    std::vector<std::size_t> row(b.size() + 1);
    for (std::size_t j = 0; j <= b.size(); ++j)
        row[j] = j;
    for (std::size_t i = 1; i <= a.size(); ++i) {
        std::size_t diagonal = row[0];
        row[0] = i;
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const std::size_t above = row[j];
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] != b[j - 1])});
            diagonal = above;
        }
    }
    return row[b.size()];
}

} // namespace

std::string wrapHelp(const std::string& text, std::size_t descriptionColumn, std::size_t width)
{
    std::string out;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(start, end - start);
        line.erase(line.find_last_not_of(' ') + 1);
        out += wrapLine(line, descriptionColumn, width);
        start = end + 1;
    }
    if (!text.empty() && text.back() != '\n')
        out.pop_back();
    return out;
}

std::string nearestCommand(const std::string& typed, const std::vector<std::string>& names)
{
    std::string best;
    std::size_t bestDistance = 0;
    for (const std::string& name : names) {
        const std::size_t d = editDistance(typed, name);
        if (best.empty() || d < bestDistance) {
            best = name;
            bestDistance = d;
        }
    }
    // Two slips in a word of five or more, one in a shorter word; a transposition is two.
    const std::size_t allowed = typed.size() >= 5 ? 2 : 1;
    return bestDistance <= allowed ? best : std::string();
}

} // namespace korvane
