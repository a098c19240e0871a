#pragma once
// The judge's runs as the database keeps them, so that a restarted robot still knows
// which run finished and which one is published.

#include "tools/robot/Database.h"

#include <cstdint>
#include <optional>
#include <string>

namespace korvane::robot {

struct JudgeRunRow {
    std::int64_t number = 0;
    std::string state; // "running", "done", "failed"
    std::string message, startedUtc, finishedUtc, results;
};

class JudgeRunStore {
public:
    explicit JudgeRunStore(Database& db) : db_(db) {}

    // A new run in state running; 0 when the database would not take it.
    std::int64_t begin(const std::string& startedUtc, std::size_t logs);
    bool setResults(std::int64_t number, const std::string& results);
    bool finish(std::int64_t number, bool done, const std::string& message, const std::string& finishedUtc);
    // A run still marked running when the robot starts was cut off by a stop.
    void failUnfinished();

    std::optional<JudgeRunRow> last() const;
    std::optional<JudgeRunRow> lastDone() const;
    std::optional<JudgeRunRow> run(std::int64_t number) const;

private:
    std::optional<JudgeRunRow> one(const char* where, std::int64_t number) const;
    Database& db_;
};

} // namespace korvane::robot
