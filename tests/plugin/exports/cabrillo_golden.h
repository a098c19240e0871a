#pragma once
// One report through the exports, shared by the native export test and the Windows GUI
// test: the settings file before the reset, the QSOs the host adds, and the Cabrillo file
// that must result, byte for byte.

#include "tools/host/StatsHost.h"

#include <string>
#include <vector>

namespace golden {

inline const COleDateTime kStart = makeOleDate(2026, 12, 7, 10, 0, 0);
inline const COleDateTime kEnd = makeOleDate(2026, 12, 7, 12, 0, 0);

inline const std::string kSettings = "[Settings]\r\n"
                                     "Operators=RA3XYZ UA3AAA\r\n"
                                     "Name=Ivan Petrov\r\n"
                                     "Address=Lenina 1<CR><LF>Moscow\r\n"
                                     "Email=ra3xyz@example.org\r\n"
                                     "Club=Radio Club\r\n"
                                     "SoapBox=Good luck<CR><LF>73\r\n";

// No line end after its last line: the writer adds one.
inline const std::string kExtraHeader = "X-KORVANE-NOTE: extra header\r\nX-LAST: no line end";

inline std::vector<host::Qso> qsos()
{
    auto q = [](const char* call, const char* band, const char* mode, unsigned freqHz, int minute,
                const char* exchReceived) {
        host::Qso x;
        x.call = call;
        x.band = band;
        x.mode = mode;
        x.rstSent = "599";
        x.rstReceived = "579";
        x.exchSent = "001";
        x.exchReceived = exchReceived;
        x.freqHz = freqHz;
        x.time = makeOleDate(2026, 12, 7, 10, minute, 0);
        return x;
    };
    return {
        q("UA1AAA", "80", "CW", 3512345, 12, "042"),
        q("UA2BBB", "80", "SSB", 3650000, 14, "017"),
        q("UA1AAA", "160", "CW", 1834000, 31, "043"),
        q("UA4CCC", "2", "FM", 145500000, 45, ""),
    };
}

// A key's value in the text of a settings file, "(none)" when the key is missing.
inline std::string iniValue(const std::string& ini, const std::string& key)
{
    const auto at = ini.find("\n" + key + "=");
    if (at == std::string::npos)
        return "(none)";
    const auto from = at + key.size() + 2;
    return ini.substr(from, ini.find_first_of("\r\n", from) - from);
}

// The score of those QSOs: four points and three distinct calls.
inline constexpr int kScore = 7;

// The file after a confirmed dialog that kept every loaded value, own call RA3XYZ/P.
inline std::string expectedFile(const std::string& extraCopied = kExtraHeader + "\r\n")
{
    return "START-OF-LOG: 3.0\r\n"
           "CONTEST: KORVANE\r\n"
           "CALLSIGN: RA3XYZ/P\r\n"
           "CATEGORY-OPERATOR: SINGLE-OP\r\n"
           "CATEGORY-BAND: ALL\r\n"
           "CATEGORY-POWER: HIGH\r\n"
           "LOCATION: \r\n"
           "CLAIMED-SCORE: 7\r\n"
           "CLUB: Radio Club\r\n"
           "CREATED-BY: Tarvix \r\n"
           "NAME: Ivan Petrov\r\n"
           "ADDRESS: Lenina 1\r\n"
           "ADDRESS: Moscow\r\n"
           "OPERATORS: RA3XYZ UA3AAA\r\n"
           "EMAIL: ra3xyz@example.org\r\n"
           "SOAPBOX: Good luck\r\n"
           "SOAPBOX: 73\r\n" +
           extraCopied +
           "QSO:  3512 CW 2026-12-07 1012 RA3XYZ/P      599 001    UA1AAA        579 042\r\n"
           "QSO:  3650 PH 2026-12-07 1014 RA3XYZ/P      599 001    UA2BBB        579 017\r\n"
           "QSO:  1834 CW 2026-12-07 1031 RA3XYZ/P      599 001    UA1AAA        579 043\r\n"
           "QSO: 145500 PM 2026-12-07 1045 RA3XYZ/P      599 001    UA4CCC        579 \r\n"
           "END-OF-LOG:\r\n";
}

} // namespace golden
