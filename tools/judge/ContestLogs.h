#pragma once
// Every submitted log of a contest, held compactly for cross-checking: one 32-byte
// record per QSO, callsigns and exchanges interned, times as minutes. The readers'
// strings live only while a log is converted.

#include "tools/logs/LogQso.h"
#include "tools/judge/FindingKinds.h"
#include "tools/judge/Minutes.h"
#include "tools/judge/TextTable.h"

#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <vector>

namespace korvane::judge {

// Flags of a record.
enum QsoFlag : std::uint8_t {
    kOtherBustedMyCall = 1, // confirmed although the other side logged a wrong call
    kOtherTimeWrong = 2,    // confirmed although the other side logged a time far off
};

struct CompactQso {
    std::uint32_t call = 0;     // worked call, in ContestLogs::calls
    std::uint32_t sent = 0;     // exchange sent, encoded (see encodeExchange)
    std::uint32_t received = 0; // exchange received, encoded
    std::uint32_t freqKHz = 0;
    Minute minute = 0;          // as logged
    std::uint32_t line = 0;     // in the file, from 1
    std::uint16_t rstSent = 0, rstReceived = 0; // in ContestLogs::reports
    std::uint8_t band = 0, mode = 0;            // in ContestLogs::bands, ::modes
    Finding finding = Finding::Confirmed;
    std::uint8_t flags = 0;
};
static_assert(sizeof(CompactQso) == 32, "one QSO is 32 bytes");

inline constexpr std::uint32_t kNoIndex = 0xffffffffu;

struct Station {
    std::string file;     // as found
    std::string call;     // the header's CALLSIGN
    std::uint32_t callId = 0;
    std::string category; // categoryLabel()
    bool checkLog = false; // helps the judge, never ranked
    std::optional<long long> claimedScore;
    std::string operators;
    std::uint32_t first = 0, count = 0; // its QSOs in ContestLogs::qsos, in file order
    std::size_t skippedLines = 0;       // QSO lines the reader could not take (lenient only)
    // The call every partner logged instead of the header's CALLSIGN, when they all
    // agree on one: the header is suspect, not the partners. Empty otherwise.
    std::string callDoubt;
    std::vector<std::string> notes;     // what the committee should know of how it was read
};

struct UnreadableLog {
    std::string file;
    std::string call; // from the header when it names one
    std::string reason;
    std::size_t line = 0; // 0: the file as a whole
};

struct ContestLogs {
    std::vector<Station> stations; // in the order the files were given
    std::deque<CompactQso> qsos; // grows without moving what it holds
    std::vector<UnreadableLog> unreadable;
    TextTable calls, exchanges, reports, bands, modes;
    std::vector<std::uint32_t> stationOfCall; // by call id: the station, or kNoIndex

    // The station whose QSOs include qsos[index].
    std::uint32_t stationOf(std::uint32_t index) const;
    // Call ids are given out as logs arrive; this fills stationOfCall afterwards.
    void indexStations();
    // Heap bytes held by the records and tables.
    std::size_t bytesHeld() const;
};

struct StationRange {
    std::uint32_t first = 0, last = 0; // stations first to last - 1
};

// Consecutive ranges, as many as parts (fewer when there are fewer stations), of about
// equal QSO counts: the work on a station's log costs about its QSOs.
std::vector<StationRange> splitByQsos(const ContestLogs& logs, unsigned parts);
// Half 0 or 1 of those two ranges; empty when there are too few stations for two.
StationRange stationHalf(const ContestLogs& logs, unsigned half);

// Exchanges compare as texts in upper case with single blanks, and numbers without
// leading zeros: "001" sent matches "1" received. A lone number is stored as itself.
std::uint32_t encodeExchange(std::string_view text, TextTable& texts);
std::string exchangeText(std::uint32_t code, const TextTable& texts);
void exchangeText(std::uint32_t code, const TextTable& texts, std::string& out); // reuses out's storage
// Whether the exchange is a lone number, its code being the number itself.
bool loneNumber(std::uint32_t code);

// Adds one read log (ADIF or Cabrillo) as a station. False with a reason (and the line,
// 0 for the whole file) when the committee cannot take it: then nothing was added.
// lenient: broken QSO lines are left out and counted instead of refusing the log.
bool addStation(ContestLogs& logs, const std::string& file, const ReadLog& log, bool lenient,
                std::string* reason, std::size_t* line);

// The QSO in the host's terms again, as the plug-in is given it (logged time); the
// second form reuses out's storage.
LogQso toLogQso(const ContestLogs& logs, const CompactQso& qso);
void toLogQso(const ContestLogs& logs, const CompactQso& qso, LogQso& out);

// The QSO as a Cabrillo line from the station's side, for reports.
std::string cabrilloLine(const ContestLogs& logs, const Station& station, const CompactQso& qso);

} // namespace korvane::judge
