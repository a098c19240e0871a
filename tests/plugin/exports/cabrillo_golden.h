#pragma once
// One report through the exports, shared by the native export test and the Windows GUI
// test: the settings file before the reset, the QSOs the host adds, and the golden
// Cabrillo file that must result, byte for byte.

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

// The file after a confirmed dialog that kept every loaded value, own call RA3XYZ/P,
// under tests/golden/ (see Golden.h).
inline const char* const kReportFile = "cabrillo/report.cbr";

} // namespace golden
