#pragma once
// Band texts as the host names them: metres without the unit ("160", "80", "40"),
// centimetre and millimetre bands with theirs ("70CM").

#include <optional>
#include <string>

namespace korvane {

// From an ADIF BAND value ("160m", "80M", "70cm"); empty for an unknown band.
std::optional<std::string> bandFromAdif(const std::string& adifBand);

// The band a frequency in kilohertz lies in; empty outside every band.
std::optional<std::string> bandFromKHz(unsigned long kHz);

// The lowest frequency of a band, in kilohertz; 0 for an unknown band text.
unsigned long bandLowerEdgeKHz(const std::string& band);

} // namespace korvane
