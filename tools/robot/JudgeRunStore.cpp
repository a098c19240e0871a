#include "tools/robot/JudgeRunStore.h"

namespace korvane::robot {

std::int64_t JudgeRunStore::begin(const std::string& startedUtc, std::size_t logs)
{
    std::lock_guard<std::mutex> lock(db_.mutex());
    Statement q(db_.handle(), "INSERT INTO judge_runs(started_utc, state, results, logs) VALUES (?, 'running', '', ?)");
    if (q.bind(1, startedUtc).bind(2, static_cast<std::int64_t>(logs)).run() != SQLITE_DONE)
        return 0;
    return sqlite3_last_insert_rowid(db_.handle());
}

bool JudgeRunStore::setResults(std::int64_t number, const std::string& results)
{
    std::lock_guard<std::mutex> lock(db_.mutex());
    Statement q(db_.handle(), "UPDATE judge_runs SET results = ? WHERE number = ?");
    return q.bind(1, results).bind(2, number).run() == SQLITE_DONE;
}

bool JudgeRunStore::finish(std::int64_t number, bool done, const std::string& message, const std::string& finishedUtc)
{
    std::lock_guard<std::mutex> lock(db_.mutex());
    Statement q(db_.handle(), "UPDATE judge_runs SET state = ?, message = ?, finished_utc = ? WHERE number = ?");
    return q.bind(1, std::string(done ? "done" : "failed")).bind(2, message).bind(3, finishedUtc).bind(4, number).run() ==
           SQLITE_DONE;
}

void JudgeRunStore::failUnfinished()
{
    std::lock_guard<std::mutex> lock(db_.mutex());
    db_.exec("UPDATE judge_runs SET state = 'failed', message = 'the robot stopped during the run' "
             "WHERE state = 'running'");
}

std::optional<JudgeRunRow> JudgeRunStore::one(const char* where, std::int64_t number) const
{
    std::lock_guard<std::mutex> lock(db_.mutex());
    const std::string sql = std::string("SELECT number, state, message, started_utc, COALESCE(finished_utc, ''), "
                                        "results FROM judge_runs ") + where;
    Statement q(db_.handle(), sql.c_str());
    if (number > 0)
        q.bind(1, number);
    if (q.step() != SQLITE_ROW)
        return std::nullopt;
    return JudgeRunRow{q.integer(0), q.text(1), q.text(2), q.text(3), q.text(4), q.text(5)};
}

std::optional<JudgeRunRow> JudgeRunStore::last() const { return one("ORDER BY number DESC LIMIT 1", 0); }

std::optional<JudgeRunRow> JudgeRunStore::lastDone() const
{
    return one("WHERE state = 'done' ORDER BY number DESC LIMIT 1", 0);
}

std::optional<JudgeRunRow> JudgeRunStore::run(std::int64_t number) const { return one("WHERE number = ?", number); }

} // namespace korvane::robot
