#pragma once
// The Cabrillo header fields the operator keeps in "Plugins\MOLTA.ini", section
// "Settings", written in the stored form before the reset, so that the plug-in loads
// them itself. Multi-line values (address, soapbox) are stored on one line, each line
// break as "<CR><LF>".

#include <optional>
#include <string>
#include <vector>

namespace korvane {

struct HeaderOptions {
    std::optional<std::string> name, address, email, club, operators, soapbox, location;
};

// The key and stored value of every field given, in the plug-in's key names; a
// multi-line value's breaks as typed (settings::typedToStored). Single-line fields must
// hold no line break (the command line refuses them).
std::vector<std::pair<std::string, std::string>> headerEntries(const HeaderOptions& header);

// Writes them below the current directory; false with the key that failed.
bool storeHeader(const HeaderOptions& header, std::string* error);

// The plug-in opens its multiplier window on every other reset without a report, as
// the "Start" key alternates; a stand-in host on the command line wants none.
bool keepWindowClosed();

} // namespace korvane
