// The Cabrillo file: QSO lines, then the whole file written in one pass.
#include "cabrillo/CabrilloReport.h"

#include "platform/Platform.h"
#include "scoring/TextFormat.h"

namespace {

constexpr const char* kExtraHeaderFile = "cabrillo.ini";
constexpr std::size_t kCopyBlockBytes = 4096;

// Copies the extra-header file's bytes into out; adds "\r\n" when they do not end in a
// line feed, so that its last line and the first QSO line stay apart. A file that cannot
// be opened (nor created) contributes nothing. False when writing out failed, or when
// reading the file failed part-way: a log that silently lacks header lines it was meant
// to carry is not a log produced.
bool copyExtraHeader(platform::File* out, std::string& reason)
{
    const platform::Ops& os = platform::ops();
    std::string ignored;
    platform::File* in = os.fileOpen(kExtraHeaderFile, platform::FileAccess::ReadCreating, &ignored);
    if (!in)
        return true;
    char block[kCopyBlockBytes];
    char last = '\n'; // nothing copied counts as ending in a line feed
    bool copied = true;
    for (;;) {
        std::string readReason;
        const long n = os.fileRead(in, block, sizeof block, &readReason);
        if (n == 0)
            break;
        if (n < 0) {
            reason = std::string(kExtraHeaderFile) + ": " + readReason;
            copied = false;
            break;
        }
        if (!os.fileWrite(out, block, static_cast<std::size_t>(n), &reason)) {
            copied = false;
            break;
        }
        last = block[n - 1];
    }
    os.fileClose(in, &ignored);
    if (copied && last != '\n')
        copied = os.fileWrite(out, "\r\n", 2, &reason);
    return copied;
}

} // namespace

void CabrilloReport::addQsoLine(const std::string& call, int freqKHz, const char* modeCode,
                                const COleDateTime& qsoTime, const std::string& rstSent,
                                const std::string& exchSent, const std::string& rstReceived,
                                const std::string& exchReceived)
{
    const std::string when = formatOleDate(qsoTime, "%Y-%m-%d %H%M");
    std::string line;
    appendFormat(line, "QSO: %5i %2s %s %-13s %-3s %-6s %-13s %-3s %s\r\n", freqKHz,
                 modeCode ? modeCode : "", when.c_str(), callsign.c_str(), rstSent.c_str(),
                 exchSent.c_str(), call.c_str(), rstReceived.c_str(), exchReceived.c_str());
    qsoLines.push_back(std::move(line));
}

std::string CabrilloReport::headerLines(int claimedScore) const
{
    return "START-OF-LOG: 3.0\r\n"
           "CONTEST: KORVANE\r\n"
           "CALLSIGN: " + callsign + "\r\n"
           "CATEGORY-OPERATOR: " + categoryOperator + "\r\n"
           "CATEGORY-BAND: " + categoryBand + "\r\n"
           "CATEGORY-POWER: " + categoryPower + "\r\n"
           "LOCATION: " + location + "\r\n"
           "CLAIMED-SCORE: " + std::to_string(claimedScore) + "\r\n"
           "CLUB: " + club + "\r\n"
           "CREATED-BY: Tarvix \r\n"
           "NAME: " + name + "\r\n"
           "ADDRESS: " + address + "\r\n"
           "OPERATORS: " + operators + "\r\n"
           "EMAIL: " + email + "\r\n"
           "SOAPBOX: " + soapbox + "\r\n";
}

bool CabrilloReport::writeFile(const std::string& fileName, int claimedScore,
                               std::string& reason) const
{
    const platform::Ops& os = platform::ops();
    platform::File* out = os.fileOpen(fileName.c_str(), platform::FileAccess::Write, &reason);
    if (!out)
        return false;
    const std::string header = headerLines(claimedScore);
    std::string body;
    for (const std::string& line : qsoLines)
        body += line;
    body += "END-OF-LOG:\r\n";
    bool written = os.fileWrite(out, header.data(), header.size(), &reason) &&
                   copyExtraHeader(out, reason) &&
                   os.fileWrite(out, body.data(), body.size(), &reason);
    std::string closeReason;
    if (!os.fileClose(out, &closeReason) && written) {
        reason = closeReason;
        written = false;
    }
    return written;
}

CabrilloReport::WriteOutcome CabrilloReport::writeLog(int claimedScore)
{
    const std::string fileName = baseName + ".cbr";
    std::string reason;
    const bool written = writeFile(fileName, claimedScore, reason);
    qsoLines.clear();
    if (!written)
        return WriteOutcome{"Could not write " + fileName + ": " + reason, false};
    return WriteOutcome{"File produced: " + fileName, true};
}
