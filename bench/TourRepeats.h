#pragma once
// Simulated logs with tour repeats put in at a given share: after every few QSO lines a
// copy of the line a minute later in the same half hour, which the other side never
// logged. The judge's tour check has to refuse each and take it back out of the score.

#include <filesystem>
#include <string>

// Writes each file of from into to with the copies; to is kept for the next run when
// it already holds as many files. False with a reason.
bool addTourRepeats(const std::filesystem::path& from, const std::filesystem::path& to, double share,
                    std::string* error);
