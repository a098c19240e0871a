// Every real Cabrillo log of the samples folder: how many QSOs read and skipped, and a
// few QSOs per log checked by hand against the file (the worked call, the sent and the
// received exchange). The logs come from many programs and lay out their lines in
// different ways; see the samples folder's SOURCES.md.
#include "tools/logs/LogFile.h"

#include "TestEnvironment.h"

#include <doctest/doctest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

using namespace korvane;

namespace {

std::size_t qsoLinesIn(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    std::size_t n = 0;
    for (std::string line; std::getline(in, line);)
        n += line.rfind("QSO:", 0) == 0 ? 1 : 0;
    return n;
}

// Exchanges are compared word by word: how many blanks a program pads with is layout.
std::string words(const std::string& text)
{
    std::istringstream in(text);
    std::string out, word;
    while (in >> word)
        out += (out.empty() ? "" : " ") + word;
    return out;
}

struct Pin {
    std::size_t line; // 0: no pin
    const char* call;
    const char* exchSent;
    const char* rstReceived;
    const char* exchReceived;
};

struct Case {
    const char* file;
    const char* ownCall;
    std::size_t qsoLines; // QSO lines in the file
    std::size_t read;
    std::size_t skipped;
    std::size_t firstSkippedLine; // 0: none skipped
    const char* skippedBecause;
    Pin pins[2];
};

} // namespace

TEST_CASE("real Cabrillo logs: QSOs read and skipped, worked calls and exchanges")
{
    const std::string dir = folderFrom("KORVANE_SAMPLES");
    if (dir.empty()) {
        WARN_MESSAGE(false, "SKIPPED: KORVANE_SAMPLES is not a folder, real Cabrillo logs not read");
        return;
    }
    const Case cases[] = {
        // Three logs of the NTC QSO Party.
        /* 1 */ {"ntc-qp-2024-03-DJ0SP.cbr", "DJ0SP", 36, 36, 0, 0, nullptr,
                 {{18, "M0MPM", "HANS/124", "599", "MICHAEL 217"}, {53, "OK2BM", "HANS/124", "599", "PAVEL 62"}}},
        /* 2 */ {"ntc-qp-2024-03-PA7F.cbr", "PA7F", 50, 50, 0, 0, nullptr,
                 {{24, "OE8TIR", "FRANK 181", "599", "STEFAN 105"}, {73, "PA3GPX", "FRANK 181", "599", "RENE NM"}}},
        /* 3 */ {"ntc-qp-2024-03-S51Z.cbr", "S51Z", 35, 35, 0, 0, nullptr,
                 {{24, "PA7F", "ZOKI 226", "599", "FRANK 181"}, {58, "PA0CMU", "ZOKI 226", "599", "CARL 76"}}},
        // The other participants of that event.
        /* 4 */ {"ntcqp-2024-03/DG5CW.log", "DG5CW", 15, 15, 0, 0, nullptr,
                 {{26, "PA3EEG", "TOM 247", "599", "RUUD 5"}, {40, "PA0CMU", "TOM 247", "599", "CAREL 76"}}},
        /* 5 */ {"ntcqp-2024-03/DJ9BM.log", "DJ9BM", 15, 15, 0, 0, nullptr,
                 {{18, "PC4Y", "VOLKER084", "599", "BERT085"}, {32, "I5ECW", "VOLKER084", "599", "VANNI164"}}},
        /* 6 */ {"ntcqp-2024-03/F6JOE.log", "F6JOE", 31, 31, 0, 0, nullptr,
                 {{24, "PA0CMU", "JEAN NTC44", "599", "CAREL 76"}, {38, "PI4NTC", "JEAN NTC44", "599", "JO 200"}}},
        /* 7 */ {"ntcqp-2024-03/I5ECW.log", "I5ECW", 38, 38, 0, 0, nullptr,
                 {{20, "ON6NL", "599VANNI164", "599", "NTC 154 2 POINTS"},
                  {21, "PA7F", "599VANNI164", "599", "NTC 181 2POINTS"}}},
        /* 8 */ {"ntcqp-2024-03/IN3FHE.log", "IN3FHE", 35, 35, 0, 0, nullptr,
                 {{24, "OE8TIR", "HELGA NTC 88", "339", "STEFAN 105"}, {58, "ON7DQ", "HELGA NTC 88", "559", "LUC 98"}}},
        /* 9 */ {"ntcqp-2024-03/LB2WD.log", "LB2WD", 16, 16, 0, 0, nullptr,
                 {{25, "OK1LO", "HELGE/ NM", "599", "LAD 215"}, {40, "I5ECW", "HELGE/ NM", "599", "VANNI 175"}}},
        /* 10 */ {"ntcqp-2024-03/M0SDB.log", "M0SDB", 16, 16, 0, 0, nullptr,
                  {{19, "IN3FHE", "DANNY 254", "559", "HELGA 88"}, {34, "ON6NL", "DANNY 254", "599", "ANTON 154"}}},
        /* 11 */ {"ntcqp-2024-03/OK1DZ.log", "OK1DZ", 9, 9, 0, 0, nullptr,
                  {{28, "DJ0SP", "ZDENEK 217", "599", "HANS 124"}, {36, "OE8TIR", "ZDENEK 217", "599", "STEFAN 105"}}},
        /* 12 */ {"ntcqp-2024-03/OK1WSL.log", "OK1WSL", 14, 14, 0, 0, nullptr,
                  {{19, "OK1LO", "JOSEF NM", "599", "LAD 215"}, {32, "PA7F", "JOSEF NM", "599", "FRANK 181"}}},
        /* 13 */ {"ntcqp-2024-03/OK2BND.log", "OK2BND", 8, 8, 0, 0, nullptr,
                  {{20, "PC4Y", "JAN NM", "599", "BERT NTC85"}, {23, "IN3HFE", "JAN NM", "599", "HELGA NTC88"}}},
        /* 14 */ {"ntcqp-2024-03/ON6NL.log", "ON6NL", 42, 42, 0, 0, nullptr,
                  {{29, "I5ECW", "ANTON 154", "599", "VANNI 164"}, {70, "PA0HTT", "ANTON 154", "599", "HENK 116"}}},
        /* 15 */ {"ntcqp-2024-03/ON9TT.log", "ON9TT", 9, 9, 0, 0, nullptr,
                  {{19, "DL5XL", "MARC 196", "599", "FELIX 80"}, {27, "PA7F", "MARC 196", "599", "FRANK 181"}}},
        /* 16 */ {"ntcqp-2024-03/PA0M.log", "PA0M", 15, 15, 0, 0, nullptr,
                  {{25, "ON6NL", "THIEU 110", "599", "ANTON 154"}, {39, "I5ECW", "THIEU 110", "599", "VANNI 164"}}},
        // Tabs, times written 19.03, report and exchange in one field.
        /* 17 */ {"ntcqp-2024-03/PA0XAW.log", "PA0XAW", 9, 9, 0, 0, nullptr,
                  {{25, "I5ECW", "599-119", "", "599-164"}, {33, "M0MPM", "599-119", "", "599-227"}}},
        /* 18 */ {"ntcqp-2024-03/PA3GPX.log", "PA3GPX", 18, 18, 0, 0, nullptr,
                  {{24, "I5ECW", "RENE NM", "599", "VANNI 164"}, {41, "PA7F", "RENE NM", "599", "FRANK 181"}}},
        /* 19 */ {"ntcqp-2024-03/PC4Y.log", "PC4Y", 11, 11, 0, 0, nullptr,
                  {{24, "OK2NO", "BERT 085", "599", "JARDA NM"}, {28, "OK1DZ", "BERT 085", "599", "GDENE 216"}}},
        // One field sent, two received.
        /* 20 */ {"ntcqp-2024-03/PE4KH.log", "PE4KH", 10, 10, 0, 0, nullptr,
                  {{23, "I5ECW", "KOOS", "599", "VANNI 164"}, {32, "M0MPM", "KOOS", "599", "MICHEAL 23"}}},
        /* 21 */ {"ntcqp-2024-03/SP7OGP.log", "SP7OGP", 29, 29, 0, 0, nullptr,
                  {{17, "DL5XL", "PIOTR 111", "599", "FELIX 80"}, {45, "PA3HEB", "PIOTR 111", "599", "MARCEL 159"}}},
        // Other contests: transmitter columns, no reports, single blanks between fields.
        /* 22 */ {"loggers/arrl10-2024-HK3RD-n1mm.log", "HK3RD", 1801, 1800, 1, 1186, "\"F8FKFZ/\"",
                  {{17, "VA3TNM", "1", "599", "ON"}, {1817, "KE0A", "1801", "599", "ND"}}},
        /* 23 */ {"loggers/arrl10-2024-PX2A-dxlog.log", "PX2A", 1795, 1795, 0, 0, nullptr,
                  {{17, "JH7VHZ", "001", "599", "3"}, {1811, "K8AC", "1795", "599", "NC"}}},
        /* 24 */ {"loggers/arrlfd-2025-W1OP-n1mm.log", "W1OP", 2002, 2001, 1, 1858, "\"WB8\"",
                  {{25, "K9VQA", "4A GA", "", "1E IL"}, {2025, "K7HON", "4A GA", "", "3A AZ"}}},
        /* 25 */ {"loggers/cqwpx-ssb-2025-AA4VT-n1mm.log", "AA4VT", 5191, 5190, 1, 1059, "\"PE0CD25\"",
                  {{20, "NV2K", "0001", "59", "0001"}, {5210, "VA7JC", "1479", "59", "0011"}}},
        /* 26 */ {"loggers/cqww-rtty-2024-K3MM-n1mm.log", "K3MM", 2700, 2700, 0, 0, nullptr,
                  {{19, "W9TD", "05 MD", "599", "04 IL"}, {1368, "IZ4OSH", "05 MD", "599", "15 DX"}}},
        /* 27 */ {"loggers/iaru-hf-2024-N9NB-n1mm.log", "N9NB", 2478, 2476, 2, 602, "\"HD1QRC93\"",
                  {{1254, "OM8A", "08", "599", "28"}, {2493, "9A2NB", "08", "599", "28"}}},
    };
    int n = 0;
    for (const Case& c : cases) {
        ++n;
        CAPTURE(n);
        CAPTURE(c.file);
        const std::filesystem::path path = std::filesystem::path(dir) / c.file;
        CHECK(qsoLinesIn(path) == c.qsoLines);
        const LogFileResult r = readLogFile(path.string());
        REQUIRE_MESSAGE(r.ok, r.error);
        CHECK(r.log.format == LogFormat::Cabrillo);
        CHECK(r.log.ownCall == c.ownCall);
        CHECK(r.log.qsos.size() == c.read);
        CHECK(r.log.skippedRecords() == c.skipped);
        for (const LogProblem& p : r.log.problems) {
            if (!p.recordSkipped)
                continue;
            CHECK(p.line == c.firstSkippedLine);
            CHECK_MESSAGE(p.message.find(c.skippedBecause ? c.skippedBecause : "") != std::string::npos,
                          p.message);
            break;
        }
        for (const Pin& pin : c.pins) {
            CAPTURE(pin.line);
            const LogQso* q = nullptr;
            for (const LogQso& read : r.log.qsos)
                if (read.line == pin.line)
                    q = &read;
            CHECK_MESSAGE(q != nullptr, "no QSO read from this line");
            if (!q)
                continue;
            CHECK(q->call == pin.call);
            CHECK(words(q->exchSent) == pin.exchSent);
            CHECK(q->rstReceived == pin.rstReceived);
            CHECK(words(q->exchReceived) == pin.exchReceived);
        }
    }
}
