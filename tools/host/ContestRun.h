#pragma once
// What the reset is given: own call, contest start and end, list filter.

#include "contract/OleDateTime.h"

#include <string>

namespace korvane {

struct ContestRun {
    std::string ownCall;
    COleDateTime start, end;
    std::string listFilter;
};

} // namespace korvane
