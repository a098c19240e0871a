#pragma once
// Reading a contest's logs: files in parallel where threads exist, converted one by one
// in the order given, so that the result is the same for any number of workers.

#include "tools/judge/ContestLogs.h"

#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace korvane::judge {

// The files to judge: each folder's regular files, its subfolders' too, in name order,
// and each file named; false with a reason for a path that is neither. Hidden files and
// folders (".name") are the system's, not logs: they go to hidden, when given, so that
// the committee is told of them.
bool listLogFiles(const std::vector<std::string>& paths, std::vector<std::string>& files,
                  std::string* error, std::vector<std::string>* hidden = nullptr);

struct LoadOptions {
    unsigned workers = 2; // 1 reads on the calling thread; Windows always does
    bool lenient = false; // keep logs with broken QSO lines, without those lines
    // The committee's choice among logs that claim one call: call, then the file (its
    // path as listed, or its name).
    std::map<std::string, std::string> chosen;
    // Calls (upper case) the committee counts as check logs whatever their headers say.
    std::set<std::string> checkLogCalls;
    // After each log, on the calling thread: logs done, logs in all.
    std::function<void(std::size_t, std::size_t)> progress;
};

// Never fails as a whole: a log that cannot be taken goes to unreadable, and so do logs
// that claim one call, as settleSharedCalls decides.
ContestLogs loadContestLogs(const std::vector<std::string>& files, const LoadOptions& options);

// Only reads and parses the files as loadContestLogs does, keeping nothing: the
// yardstick for the judge's own cost. Returns the QSOs read.
std::size_t readLogsOnly(const std::vector<std::string>& files, unsigned workers);

// Whether this build reads with more than one thread.
bool parallelReadingAvailable();

} // namespace korvane::judge
