#include "tools/logs/Bands.h"

#include "contract/AsciiText.h"
#include "tools/logs/TextUtil.h"

namespace korvane {
namespace {

struct Band {
    const char* host;
    unsigned long lowKHz, highKHz;
};

// The amateur bands of ADIF's band table, edges in kilohertz.
const Band kBands[] = {
    {"2190", 135, 138},          {"630", 472, 479},           {"560", 501, 504},
    {"160", 1800, 2000},         {"80", 3500, 4000},          {"60", 5060, 5450},
    {"40", 7000, 7300},          {"30", 10100, 10150},        {"20", 14000, 14350},
    {"17", 18068, 18168},        {"15", 21000, 21450},        {"12", 24890, 24990},
    {"10", 28000, 29700},        {"8", 40000, 45000},         {"6", 50000, 54000},
    {"5", 54001, 69900},         {"4", 70000, 71000},         {"2", 144000, 148000},
    {"1.25", 222000, 225000},    {"70CM", 420000, 450000},    {"33CM", 902000, 928000},
    {"23CM", 1240000, 1300000},  {"13CM", 2300000, 2450000},  {"9CM", 3300000, 3500000},
    {"6CM", 5650000, 5925000},   {"3CM", 10000000, 10500000},
};

// ADIF writes the host's band in lower case, metres with their "m": "160m", "70cm".
std::string adifName(const Band& band)
{
    const std::string name = ascii::lower(band.host);
    const bool centimetres = name.size() > 2 && name.compare(name.size() - 2, 2, "cm") == 0;
    return centimetres ? name : name + "m";
}

} // namespace

std::optional<std::string> bandFromAdif(const std::string& adifBand)
{
    const std::string wanted = ascii::lower(trim(adifBand));
    for (const Band& b : kBands)
        if (wanted == adifName(b))
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
