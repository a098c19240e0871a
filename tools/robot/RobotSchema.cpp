#include "tools/robot/RobotSchema.h"

namespace korvane::robot {
namespace {

bool execAll(sqlite3* db, const char* sql, std::string* error)
{
    char* message = nullptr;
    if (sqlite3_exec(db, sql, nullptr, nullptr, &message) == SQLITE_OK)
        return true;
    *error = message ? message : "unknown error";
    sqlite3_free(message);
    return false;
}

// number orders the rows as committed. A late upload the committee has not accepted has
// no receipt and is never latest.
constexpr const char* kVersion1 = R"sql(
CREATE TABLE submissions(
  number INTEGER PRIMARY KEY AUTOINCREMENT,
  received_utc TEXT NOT NULL,
  call TEXT NOT NULL,
  client_address TEXT NOT NULL,
  format TEXT NOT NULL,
  bytes BLOB NOT NULL,
  size INTEGER NOT NULL,
  sha256 TEXT NOT NULL,
  cabrillo TEXT,
  conversion TEXT NOT NULL,
  check_summary TEXT NOT NULL,
  category TEXT NOT NULL,
  categories TEXT NOT NULL,
  qsos INTEGER NOT NULL,
  claimed_score INTEGER NOT NULL,
  refused TEXT NOT NULL,
  receipt_id TEXT UNIQUE,
  latest INTEGER NOT NULL DEFAULT 0,
  late INTEGER NOT NULL DEFAULT 0,
  accepted INTEGER NOT NULL DEFAULT 1
);
CREATE INDEX submissions_by_call ON submissions(call, latest);
CREATE INDEX submissions_by_digest ON submissions(sha256, call);
CREATE TABLE calls(
  call TEXT PRIMARY KEY,
  checklog INTEGER NOT NULL DEFAULT 0
);
CREATE TABLE settings(
  key TEXT PRIMARY KEY,
  value TEXT NOT NULL
);
CREATE TABLE judge_runs(
  number INTEGER PRIMARY KEY AUTOINCREMENT,
  started_utc TEXT NOT NULL,
  finished_utc TEXT,
  state TEXT NOT NULL,
  message TEXT NOT NULL DEFAULT '',
  results TEXT NOT NULL,
  logs INTEGER NOT NULL DEFAULT 0
);
INSERT INTO settings(key, value) VALUES ('window', 'automatic');
)sql";

// arrival orders the uploads of one call as they came in, taken before the check: two
// uploads can commit in the other order, and the later arrival must stay the one judged.
// early marks an upload kept because it came before the contest's start.
constexpr const char* kVersion2 = R"sql(
ALTER TABLE submissions ADD COLUMN arrival INTEGER NOT NULL DEFAULT 0;
UPDATE submissions SET arrival = number;
ALTER TABLE submissions ADD COLUMN early INTEGER NOT NULL DEFAULT 0;
)sql";

} // namespace

std::vector<Migration> robotMigrations()
{
    return {
        {1, [](sqlite3* db, std::string* error) { return execAll(db, kVersion1, error); }},
        {2, [](sqlite3* db, std::string* error) { return execAll(db, kVersion2, error); }},
    };
}

} // namespace korvane::robot
