#pragma once
// The Cabrillo report: the header fields that the operator confirms in the setup dialog
// and keeps in the settings file, the QSO lines of one report pass, and the writer of
// the Cabrillo 3.0 file.

#include "contract/OleDateTime.h"

#include <string>
#include <vector>

class CabrilloReport {
public:
    // Loads the header from the settings file (section "Settings" of "Plugins\MOLTA.ini";
    // keys Operators, Name, Address, Claimed, Email, Club, SoapBox, Location), derives
    // baseName from ownCall and runs the setup dialog modally. On OK: takes the dialog's
    // texts back (not CLAIMED; callsign but not baseName), saves Operators, Name, Address,
    // Category, Contest, Email, Club, SoapBox and Location, empties qsoLines and returns
    // 1. Otherwise (CANCEL, or a dialog that cannot be created) writes nothing, keeps
    // qsoLines and returns 0. Either way address and soapbox end in writer form.
    // start and end are part of the host's call; nothing here uses them.
    int setupHeader(const std::string& ownCall, const COleDateTime& start,
                    const COleDateTime& end);

    // Appends one QSO line: "QSO: %5i %2s %s %-13s %-3s %-6s %-13s %-3s %s\r\n" with the
    // frequency, the mode code, the time as "%Y-%m-%d %H%M" (empty when the time is not
    // valid), callsign, report and exchange sent, call, report and exchange received.
    void addQsoLine(const std::string& call, int freqKHz, const char* modeCode,
                    const COleDateTime& qsoTime, const std::string& rstSent,
                    const std::string& exchSent, const std::string& rstReceived,
                    const std::string& exchReceived);

    struct WriteOutcome {
        std::string text; // what the operator is told
        bool ok = true;
    };
    // Writes baseName + ".cbr" in the current directory: fifteen header lines, the bytes
    // of "cabrillo.ini" (created empty when missing; followed by "\r\n" when not empty and
    // not ending in a line feed), the QSO lines, "END-OF-LOG:". Empties qsoLines in every
    // case. "File produced: <name>", or, when the file could not be created or written
    // completely, "Could not write <name>: <the system's reason>" with ok false; also when
    // "cabrillo.ini" opened but could not be read to its end ("cabrillo.ini: <reason>").
    WriteOutcome writeLog(int claimedScore);

    // Header fields. address and soapbox are in writer form after setupHeader.
    std::string callsign, baseName;
    std::string operators, name, address, email, club, soapbox, location;
    std::string claimed, contest;
    std::string categoryOperator, categoryBand, categoryPower, categoryOverlay;

    std::vector<std::string> qsoLines;

private:
    void loadSettings();
    void saveSettings() const;
    std::string headerLines(int claimedScore) const;
    bool writeFile(const std::string& fileName, int claimedScore, std::string& reason) const;
};
