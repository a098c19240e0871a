#include "LogGenerator.h"

#include <random>
#include <string>

namespace {

const char* const kBands[] = {"160", "80", "40", "20", "15", "10"};
const unsigned kBandKHz[] = {1830, 3550, 7030, 14050, 21050, 28050};

std::string makeCall(std::mt19937& random, std::size_t serial)
{
    static const char* const prefixes[] = {"UA", "RA", "RW", "UR", "EU", "OK", "SP", "DL", "YL", "LY"};
    return std::string(prefixes[random() % 10]) + std::to_string(random() % 10) +
           static_cast<char>('A' + serial % 26) + static_cast<char>('A' + serial / 26 % 26) +
           static_cast<char>('A' + serial / 676 % 26) + (serial >= 17576 ? std::to_string(serial / 17576) : "");
}

} // namespace

std::vector<host::Qso> generateLog(std::size_t qsoCount, std::uint32_t seed)
{
    std::mt19937 random(seed);
    const std::size_t bandCount = 2 + random() % 5;
    std::vector<std::string> worked;
    std::vector<host::Qso> log;
    log.reserve(qsoCount);
    // The contest runs long enough that every QSO gets its own minute at these sizes.
    const double startDay = makeOleDate(2026, 12, 5, 12, 0, 0).value;
    for (std::size_t i = 0; i < qsoCount; ++i) {
        host::Qso q;
        const bool repeat = !worked.empty() && random() % 3 == 0;
        q.call = repeat ? worked[random() % worked.size()] : makeCall(random, worked.size());
        if (!repeat)
            worked.push_back(q.call);
        const std::size_t band = random() % bandCount;
        q.band = kBands[band];
        q.mode = random() % 2 ? "CW" : "SSB";
        q.freqHz = (kBandKHz[band] + random() % 40) * 1000 + random() % 1000;
        q.rstSent = q.mode == "CW" ? "599" : "59";
        q.rstReceived = q.rstSent;
        q.exchSent = std::to_string(i + 1);
        q.exchReceived = std::to_string(random() % 999 + 1);
        q.time.value = startDay + static_cast<double>(i) * 20.0 / 86400.0; // one QSO per 20 s
        q.time.status = kOleValid;
        log.push_back(q);
    }
    return log;
}
