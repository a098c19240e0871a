#include "tools/output/TourTextWidth.h"

#include "tools/output/ScoreTable.h"

#include <algorithm>

namespace korvane {
namespace {

// The column the merged bands or modes are counted in; the two names keep the headers
// apart.
const char* otherName(bool modes) { return modes ? "other modes" : "other"; }

// The table with column `merged` of the band or mode axis counted under its "other"
// column (made the last column when it is not there yet).
TourTable mergeIntoOther(const TourTable& t, bool modes, std::size_t merged)
{
    TourTable out = t;
    const std::string other = otherName(modes);
    std::vector<std::string>& names = modes ? out.modes : out.bands;
    const std::string name = names[merged];
    // cppcheck-suppress mismatchingContainerIterator ; one container, chosen by ?: above
    names.erase(names.begin() + static_cast<long>(merged));
    if (std::find(names.begin(), names.end(), other) == names.end())
        names.push_back(other);
    const auto to = [&](std::size_t i) {
        const std::string& was = (modes ? t.modes : t.bands)[i];
        const std::string& now = was == name ? other : was;
        return static_cast<std::size_t>(std::find(names.begin(), names.end(), now) - names.begin());
    };
    for (std::size_t r = 0; r < t.rows.size(); ++r) {
        std::vector<int> qsos(out.bands.size() * out.modes.size(), 0);
        for (std::size_t b = 0; b < t.bands.size(); ++b)
            for (std::size_t m = 0; m < t.modes.size(); ++m) {
                const std::size_t nb = modes ? b : to(b), nm = modes ? to(m) : m;
                qsos[nb * out.modes.size() + nm] += t.qsosIn(t.rows[r], b, m);
            }
        out.rows[r].qsos = std::move(qsos);
    }
    return out;
}

// The least busy column of an axis other than its "other" column, while more than
// `keep` such columns are left; npos when none is to be merged.
std::size_t leastBusy(const TourTable& t, bool modes, std::size_t keep)
{
    const std::vector<std::string>& names = modes ? t.modes : t.bands;
    const std::size_t own = static_cast<std::size_t>(
        std::count_if(names.begin(), names.end(),
                      [&](const std::string& n) { return n != otherName(modes); }));
    if (own <= keep || names.size() < 2)
        return std::string::npos;
    const TourRow total = t.totals();
    std::size_t best = std::string::npos;
    int fewest = 0;
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (names[i] == otherName(modes))
            continue;
        const int n = modes ? t.modeTotal(total, i) : t.bandTotal(total, i);
        if (best == std::string::npos || n < fewest) {
            best = i;
            fewest = n;
        }
    }
    return best;
}

} // namespace

std::size_t widestLine(const std::string& text)
{
    std::size_t widest = 0, n = 0;
    for (unsigned char c : text) {
        if (c == '\n') {
            widest = std::max(widest, n);
            n = 0;
        } else {
            n += (c & 0xC0) != 0x80;
        }
    }
    return std::max(widest, n);
}

std::string fittedTourText(const TourTable& table, const std::string& ownCall, std::size_t width)
{
    TourTable t = table;
    std::vector<std::string> modesMerged, bandsMerged;
    std::string text = tourText(t, ownCall);
    while (widestLine(text) > width) {
        // Modes go first, down to the busiest one: the bands are what the contest counts.
        // Then the bands, down to the busiest; then the last mode.
        bool modes = true;
        std::size_t i = leastBusy(t, true, 1);
        if (i == std::string::npos) {
            modes = false;
            i = leastBusy(t, false, 1);
        }
        if (i == std::string::npos) {
            modes = true;
            i = leastBusy(t, true, 0);
        }
        if (i == std::string::npos)
            break;
        (modes ? modesMerged : bandsMerged).push_back((modes ? t.modes : t.bands)[i]);
        t = mergeIntoOther(t, modes, i);
        text = tourText(t, ownCall);
    }
    if (!modesMerged.empty() || !bandsMerged.empty()) {
        std::vector<std::string> words = {"Merged", "to", "fit", std::to_string(width),
                                          "columns", "(--format", "csv", "has", "each):"};
        const auto list = [&](bool modes, const std::vector<std::string>& names) {
            if (names.empty())
                return;
            words.push_back(std::string("\"") + otherName(modes) + "\"");
            words.push_back("holds");
            for (std::size_t i = 0; i < names.size(); ++i)
                words.push_back(names[i] + (i + 1 < names.size() ? "," : ""));
        };
        list(false, bandsMerged);
        if (!bandsMerged.empty() && !modesMerged.empty())
            words.back() += ";";
        list(true, modesMerged);
        text += wrapped(words, width, "");
    }
    return text;
}

} // namespace korvane
