#include "tools/logs/Bands.h"

#include "contract/AsciiText.h"
#include "tools/logs/TextUtil.h"

namespace korvane {
namespace {

struct Band {
    const char* adif; // lower case, as ADIF lists it
    const char* host;
    unsigned long lowKHz, highKHz;
};

// The amateur bands of ADIF's band table, edges in kilohertz.
const Band kBands[] = {
    {"2190m", "2190", 135, 138},         {"630m", "630", 472, 479},
    {"560m", "560", 501, 504},           {"160m", "160", 1800, 2000},
    {"80m", "80", 3500, 4000},           {"60m", "60", 5060, 5450},
    {"40m", "40", 7000, 7300},           {"30m", "30", 10100, 10150},
    {"20m", "20", 14000, 14350},         {"17m", "17", 18068, 18168},
    {"15m", "15", 21000, 21450},         {"12m", "12", 24890, 24990},
    {"10m", "10", 28000, 29700},         {"8m", "8", 40000, 45000},
    {"6m", "6", 50000, 54000},           {"5m", "5", 54001, 69900},
    {"4m", "4", 70000, 71000},           {"2m", "2", 144000, 148000},
    {"1.25m", "1.25", 222000, 225000},   {"70cm", "70CM", 420000, 450000},
    {"33cm", "33CM", 902000, 928000},    {"23cm", "23CM", 1240000, 1300000},
    {"13cm", "13CM", 2300000, 2450000},  {"9cm", "9CM", 3300000, 3500000},
    {"6cm", "6CM", 5650000, 5925000},    {"3cm", "3CM", 10000000, 10500000},
};

} // namespace

std::optional<std::string> bandFromAdif(const std::string& adifBand)
{
    const std::string wanted = ascii::lower(trim(adifBand));
    for (const Band& b : kBands)
        if (wanted == b.adif)
            return std::string(b.host);
    return std::nullopt;
}

std::optional<std::string> bandFromKHz(unsigned long kHz)
{
    for (const Band& b : kBands)
        if (kHz >= b.lowKHz && kHz <= b.highKHz)
            return std::string(b.host);
    return std::nullopt;
}

unsigned long bandLowerEdgeKHz(const std::string& band)
{
    for (const Band& b : kBands)
        if (band == b.host)
            return b.lowKHz;
    return 0;
}

} // namespace korvane
