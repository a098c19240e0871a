#include "tools/robot/AdifConversion.h"

#include "tools/logs/Bands.h"

#include <cstdio>

namespace korvane::robot {
namespace {

std::string modeCode(const std::string& mode)
{
    if (mode == "CW" || mode == "FM")
        return mode;
    if (mode == "SSB" || mode == "AM")
        return "PH";
    if (mode == "RTTY")
        return "RY";
    return "DG";
}

bool blank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// A one-word field (a call, a report): a blank inside would shift every field after it.
std::string field(const std::string& value)
{
    std::string text;
    for (char c : value)
        text += blank(c) ? '_' : c;
    return text.empty() ? "-" : text;
}

// An exchange keeps its words ("HANS 124"): Cabrillo's fields are words, and the
// readers learn how many each side has. A line break inside would end the line.
std::string exchange(const std::string& value)
{
    std::string text;
    for (char c : value) {
        if (!blank(c))
            text += c;
        else if (!text.empty() && text.back() != ' ')
            text += ' ';
    }
    while (!text.empty() && text.back() == ' ')
        text.pop_back();
    return text.empty() ? "-" : text;
}

} // namespace

CabrilloText cabrilloFromAdif(const ReadLog& log, const judge::ContestDefinition& contest)
{
    CabrilloText out;
    out.text = "START-OF-LOG: 3.0\r\nCONTEST: " + contest.name + "\r\nCALLSIGN: " + log.ownCall +
               "\r\nCREATED-BY: korvane robot, from ADIF\r\n";
    std::size_t bandEdges = 0, modes = 0, reports = 0;
    for (const LogQso& q : log.qsos) {
        unsigned long kHz = q.freqHz / 1000;
        if (kHz == 0) {
            kHz = bandLowerEdgeKHz(q.band);
            ++bandEdges;
        }
        const std::string code = modeCode(q.mode);
        // Cabrillo has no empty field: a missing report would make the exchange's first
        // word read as one.
        const std::string usual = code == "PH" || code == "FM" ? "59" : "599";
        const std::string rstSent = q.rstSent.empty() ? usual : q.rstSent;
        const std::string rstReceived = q.rstReceived.empty() ? usual : q.rstReceived;
        reports += q.rstSent.empty() || q.rstReceived.empty();
        modes += code != q.mode;
        char line[512];
        std::snprintf(line, sizeof line, "QSO: %5lu %-2s %s %-13s %-3s %-6s %-13s %-3s %s\r\n", kHz, code.c_str(),
                      formatOleDate(q.time, "%Y-%m-%d %H%M").c_str(), field(log.ownCall).c_str(),
                      field(rstSent).c_str(), exchange(q.exchSent).c_str(), field(q.call).c_str(),
                      field(rstReceived).c_str(), exchange(q.exchReceived).c_str());
        out.text += line;
    }
    out.text += "END-OF-LOG:\r\n";
    out.conversion.push_back(std::to_string(log.qsos.size()) + " ADIF QSO records to QSO: lines of Cabrillo 3.0");
    out.conversion.push_back("CALLSIGN " + log.ownCall + " from the records' station call");
    out.conversion.push_back("CONTEST " + contest.name + " added; no CATEGORY lines (ADIF has none)");
    if (modes > 0)
        out.conversion.push_back(std::to_string(modes) + " modes written as Cabrillo's codes (SSB as PH, RTTY as RY, others DG)");
    if (reports > 0)
        out.conversion.push_back(std::to_string(reports) + " QSOs without a report given the usual one (599, by voice 59)");
    if (bandEdges > 0)
        out.conversion.push_back(std::to_string(bandEdges) + " QSOs without a frequency given their band's lower edge");
    return out;
}

} // namespace korvane::robot
