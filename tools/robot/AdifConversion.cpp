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

// Blanks inside a field would shift every field after it.
std::string field(const std::string& value)
{
    std::string text;
    for (char c : value)
        text += (c == ' ' || c == '\t' || c == '\r' || c == '\n') ? '_' : c;
    return text.empty() ? "-" : text;
}

} // namespace

CabrilloText cabrilloFromAdif(const ReadLog& log, const judge::ContestDefinition& contest)
{
    CabrilloText out;
    out.text = "START-OF-LOG: 3.0\r\nCONTEST: " + contest.name + "\r\nCALLSIGN: " + log.ownCall +
               "\r\nCREATED-BY: korvane robot, from ADIF\r\n";
    std::size_t bandEdges = 0, modes = 0;
    for (const LogQso& q : log.qsos) {
        unsigned long kHz = q.freqHz / 1000;
        if (kHz == 0) {
            kHz = bandLowerEdgeKHz(q.band);
            ++bandEdges;
        }
        const std::string code = modeCode(q.mode);
        modes += code != q.mode;
        char line[512];
        std::snprintf(line, sizeof line, "QSO: %5lu %-2s %s %-13s %-3s %-6s %-13s %-3s %s\r\n", kHz, code.c_str(),
                      formatOleDate(q.time, "%Y-%m-%d %H%M").c_str(), field(log.ownCall).c_str(),
                      field(q.rstSent).c_str(), field(q.exchSent).c_str(), field(q.call).c_str(),
                      field(q.rstReceived).c_str(), field(q.exchReceived).c_str());
        out.text += line;
    }
    out.text += "END-OF-LOG:\r\n";
    out.conversion.push_back(std::to_string(log.qsos.size()) + " ADIF QSO records to QSO: lines of Cabrillo 3.0");
    out.conversion.push_back("CALLSIGN " + log.ownCall + " from the records' station call");
    out.conversion.push_back("CONTEST " + contest.name + " added; no CATEGORY lines (ADIF has none)");
    if (modes > 0)
        out.conversion.push_back(std::to_string(modes) + " modes written as Cabrillo's codes (SSB as PH, RTTY as RY, others DG)");
    if (bandEdges > 0)
        out.conversion.push_back(std::to_string(bandEdges) + " QSOs without a frequency given their band's lower edge");
    return out;
}

} // namespace korvane::robot
