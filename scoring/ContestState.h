#pragma once
// What a statistics reset records about the station and the contest.

#include <string>

struct ContestState {
    int reportRequested = 0;  // non-zero: every summary also writes the Cabrillo file
    std::string ownCall;
    std::string endDateText;  // contest end as "%d.%m.%y"
    std::string listFilter;   // at most two bytes; a call equal to it is not listed
    int startToggle = 0;      // "Start" as last read from the settings file
};
