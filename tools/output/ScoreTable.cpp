#include "tools/output/ScoreTable.h"

#include "contract/AsciiText.h"
#include "scoring/Summary.h"
#include "tools/logs/TextUtil.h"

namespace korvane {
namespace {

std::vector<std::string> fields(const std::string& line, char separator)
{
    std::vector<std::string> out;
    std::size_t from = 0;
    for (std::size_t at; (at = line.find(separator, from)) != std::string::npos; from = at + 1)
        out.push_back(trim(std::string_view(line).substr(from, at - from)));
    out.push_back(trim(std::string_view(line).substr(from)));
    return out;
}

// A whole decimal number, optionally negative; empty for anything else.
std::optional<int> number(const std::string& text)
{
    const std::string_view digits = text.empty() || text[0] != '-' ? std::string_view(text)
                                                                   : std::string_view(text).substr(1);
    if (!ascii::allDigits(digits) || digits.size() > 9)
        return std::nullopt;
    return std::stoi(text);
}

// The table walked once. The band names stay known even where a number cannot be
// read: tours charts the bands of a table it cannot otherwise use.
struct TableReading {
    ScoreSummary summary;
    bool totalRead = false, scoreRead = false, allNumbersRead = true;
};

TableReading readTable(const std::string& table)
{
    TableReading r;
    ScoreSummary& s = r.summary;
    bool inBands = false;
    const std::vector<std::string> all = textLines(table);
    if (!all.empty())
        s.title = trim(all.front());
    for (const std::string& line : all) {
        const std::vector<std::string> f = fields(line, '\t');
        if (line.rfind("Band\t", 0) == 0) {
            inBands = true;
        } else if (line.rfind("Total\t", 0) == 0) {
            inBands = false;
            r.totalRead = f.size() == 4 && number(f[1]) && number(f[2]) && number(f[3]);
            if (!r.totalRead) {
                r.allNumbersRead = false;
                continue;
            }
            s.qsos = *number(f[1]);
            s.points = *number(f[2]);
            s.newCalls = *number(f[3]);
        } else if (inBands) {
            ScoreSummary::Band band{line.substr(0, line.find('\t'))};
            if (f.size() == 3 && number(f[1]) && number(f[2])) {
                band.qsos = *number(f[1]);
                band.points = *number(f[2]);
            } else {
                r.allNumbersRead = false;
            }
            s.bands.push_back(std::move(band));
        } else if (const std::size_t at = line.find("Contestant: "); at != std::string::npos) {
            s.contestant = trim(std::string_view(line).substr(at + 12));
        } else if (line.rfind("Score: ", 0) == 0) {
            const std::size_t eq = line.rfind('=');
            const std::optional<int> score =
                eq == std::string::npos ? std::nullopt : number(trim(std::string_view(line).substr(eq + 1)));
            r.scoreRead = score.has_value();
            if (!score)
                r.allNumbersRead = false;
            else
                s.score = *score;
        }
    }
    return r;
}

} // namespace

std::optional<ScoreSummary> parseScoreTable(const std::string& table)
{
    TableReading r = readTable(table);
    if (!r.totalRead || !r.scoreRead || !r.allNumbersRead)
        return std::nullopt;
    return std::move(r.summary);
}

std::string printableTable(const std::string& table)
{
    std::string out;
    for (const std::string& line : textLines(table))
        out += line + "\n";
    return out;
}

std::vector<std::string> tableBands(const std::string& table)
{
    std::vector<std::string> bands;
    for (ScoreSummary::Band& b : readTable(table).summary.bands)
        bands.push_back(std::move(b.band));
    return bands;
}

std::optional<int> tableNewCalls(const std::string& table)
{
    const TableReading r = readTable(table);
    return r.totalRead ? std::optional<int>(r.summary.newCalls) : std::nullopt;
}

std::vector<Multiplier> multipliersByBand(const std::vector<LogQso>& qsos,
                                          const std::vector<std::string>& bandOrder,
                                          const std::string& listFilter)
{
    // The plug-in's own count, over the QSOs it was given.
    QsoLog log;
    for (const LogQso& q : qsos) {
        QsoRecord r;
        r.call = r.multiplierKey = q.call; // as the plug-in records it: the worked call counts
        r.band = q.band;
        log.add(std::move(r));
    }
    const BandCounts counts = countBands(log, bandOrder, listFilter);
    std::vector<Multiplier> list;
    for (std::size_t b = 0; b < bandOrder.size(); ++b)
        for (std::uint32_t key : counts.listed[b])
            list.push_back({log.multiplierKeyText(key), bandOrder[b]});
    return list;
}

std::vector<std::string> multipliers(const std::vector<LogQso>& qsos,
                                     const std::vector<std::string>& bandOrder,
                                     const std::string& listFilter)
{
    std::vector<std::string> calls;
    for (Multiplier& m : multipliersByBand(qsos, bandOrder, listFilter))
        calls.push_back(std::move(m.call));
    return calls;
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
