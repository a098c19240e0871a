#pragma once
// A log far larger than any simulated station makes (a top station's 5 000 QSOs): the
// header and QSO lines of the largest simulated log, then other logs' QSO lines taken
// over as its own, each with the station's call and its next serial, in time order.

#include <cstddef>
#include <string>
#include <vector>

namespace bench {

// Empty when the logs hold fewer usable QSO lines than asked.
std::string largeLog(const std::vector<std::string>& logs, std::size_t qsos);

// How many lines of the log are QSO lines.
std::size_t qsoLines(const std::string& log);

} // namespace bench
