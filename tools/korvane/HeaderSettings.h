#pragma once
// The Cabrillo header fields the operator keeps in "Plugins\MOLTA.ini", section
// "Settings", written in the stored form before the reset, so that the plug-in loads
// them itself. Multi-line values (address, soapbox) are stored on one line, each line
// break as "<CR><LF>". Texts are typed in UTF-8 and stored in Windows-1251, the code page
// of the plug-in, an ANSI program on a Cyrillic Windows.
//
// The categories are not kept there: the setup dialog always proposes its own, so they
// are typed into its combo boxes instead, as an operator would.

#include <optional>
#include <string>
#include <vector>

namespace korvane {

struct HeaderOptions {
    // UTF-8, as typed.
    std::optional<std::string> name, address, email, club, operators, soapbox, location;
    std::optional<std::string> categoryOperator, categoryBand, categoryPower, categoryOverlay;
    bool clearStored = false; // empty the stored fields before this run's are stored
};

// A header field that korvane stores: its Cabrillo tag, settings key and option.
struct StoredField {
    const char* tag;
    const char* key;
    std::optional<std::string> HeaderOptions::*value;
    const char* option;
    bool multiLine;
};
const std::vector<StoredField>& storedFields();

// A category that korvane types into the setup dialog.
struct CategoryField {
    const char* tag;
    int controlId;
    std::optional<std::string> HeaderOptions::*value;
    const char* option;
};
const std::vector<CategoryField>& categoryFields();

// Why a typed header text cannot reach the plug-in: not UTF-8, or a character that
// Windows-1251 lacks (named); empty when it can.
std::string headerTextProblem(const std::string& utf8);
// The same for a category value, which must also be one line of printable ASCII.
std::string categoryProblem(const std::string& value);

// The key and stored value (Windows-1251) of every field given, in the plug-in's key
// names; a multi-line value's breaks as typed (typedToStored). Single-line
// fields must hold no line break and every text must pass headerTextProblem (the command
// line refuses the others); one that does not throws std::invalid_argument.
std::vector<std::pair<std::string, std::string>> headerEntries(const HeaderOptions& header);

// Writes them below the current directory; false with the key that failed.
bool storeHeader(const HeaderOptions& header, std::string* error);

// Removes every header key from the settings file, so that the plug-in's defaults apply
// again; false with the key that could not be removed.
bool clearStoredHeader(std::string* error);

// The settings file's name as this system writes paths ("Plugins/MOLTA.ini" on Linux).
std::string shownSettingsFile();

} // namespace korvane
