#pragma once
// Where each field of the report's header comes from. The plug-in takes the header from
// its settings file, which keeps what the last confirmed dialog held, so fields given
// for one station's log would carry over to the next station's file without a word:
// korvane names, for every field, whether it came from the command line, from the
// settings file, from the log or from the plug-in's defaults.

#include "contract/HeadlessInput.h"
#include "tools/korvane/HeaderSettings.h"
#include "tools/logs/LogQso.h"

#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace korvane {

// The header keys the settings file holds before this run stores its own, with their
// stored values (Windows-1251).
using StoredHeader = std::map<std::string, std::string>;
StoredHeader readStoredHeader();

// A category to type into the setup dialog, and where its value comes from.
struct CategoryChoice {
    const CategoryField* field = nullptr;
    std::string value;  // upper case
    std::string source; // the option, or "the log's header"
};

// From the options, else from a Cabrillo log's own CATEGORY-* lines. A log's value that
// is no category (categoryProblem) is left out with a line in notes.
std::vector<CategoryChoice> chooseCategories(const HeaderOptions& given, const ReadLog& log,
                                             std::vector<std::string>& notes);

// What the host types into the setup dialog (template 101) for them.
std::vector<headless_input::TypedText> typedCategories(const std::vector<CategoryChoice>& chosen);

// A warning when the OPERATORS the settings file holds (not given now) leave out the own
// call, as when they were stored for another station's log; empty otherwise.
std::string operatorsWarning(const StoredHeader& stored, const HeaderOptions& given,
                             const std::string& ownCall);

struct HeaderSources {
    HeaderOptions given;
    StoredHeader stored;
    std::vector<CategoryChoice> categories;
    bool callGiven = false;
};

// One line per header field of the written report text (up to its first QSO line),
// "TAG: value" and where it came from; lines after the plug-in's own come from its
// cabrillo.ini. Values in UTF-8.
std::string headerOrigins(const std::string& reportText, const HeaderSources& sources);

} // namespace korvane
