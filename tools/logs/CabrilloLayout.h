#pragma once
// How one Cabrillo file lays out its QSO lines, decided once from all of them.
//
// Programs differ: exchanges hold blanks, the sent and the received exchange may have
// different numbers of fields, multi-transmitter logs end each line with the
// transmitter's number, some files are aligned in columns and some are not. A rule
// that looks at one line at a time guesses wrong on such files, and guesses silently;
// a layout learnt from the whole file is right on nearly every line, and the lines
// that do not fit it can be named.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace korvane::cabrillo {

struct Token {
    std::size_t column; // from 0
    std::string_view text;
};

struct QsoLine {
    std::size_t number; // from 1
    std::string_view text;
    std::vector<Token> tokens; // tokens[0] is "QSO:"
};

// Where the fields of a QSO line stand: "QSO:", frequency, mode, date, time, own call.
inline constexpr std::size_t kFreq = 1, kMode = 2, kDate = 3, kTime = 4, kOwnCall = 5;

std::vector<Token> tokenize(std::string_view line);

// Letters, digits and '/' in up to three parts, one of which is the call itself: at
// least three characters, a digit with a letter before it, and a letter at the end.
// Reports (599), serials (001), classes (4A, 10A), "NTC44" and "HANS/124" are not.
bool looksLikeCall(std::string_view text);

// A signal report: RS or RST ("59", "599", "5NN").
bool looksLikeReport(std::string_view text);

struct Layout {
    enum class CallBy { Position, Column };
    CallBy callBy = CallBy::Position;
    std::size_t callAt = 0; // token index (Position) or column (Column)
    bool sentReport = true;     // the first field after the own call is a report
    bool receivedReport = true; // the first field after the worked call is a report
    bool transmitter = false;   // a transmitter number ends each line
    std::vector<std::string> ownCalls; // upper case; the own call of a line is one of them
    std::string linesOwnCall;          // the own call most lines give, when it looks like one

    // Where the worked call stands, for messages: "the 4th field after the time".
    std::string callPlace() const;
};

// headerCalls: CALLSIGN and the OPERATORS, upper case, already checked as calls.
Layout learnLayout(const std::vector<QsoLine>& lines, const std::vector<std::string>& headerCalls);

// The index of the worked call's token in a line under the layout, or 0 when the
// line has no token at that place (0 is never a call's index).
std::size_t workedCallIndex(const Layout& layout, const QsoLine& line);

// The index of the last field of the received exchange (the report included).
std::size_t lastReceivedIndex(const Layout& layout, const QsoLine& line);

} // namespace korvane::cabrillo
