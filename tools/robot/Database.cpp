#include "tools/robot/Database.h"

namespace korvane::robot {

Statement::Statement(sqlite3* db, const char* sql)
{
    if (sqlite3_prepare_v2(db, sql, -1, &stmt_, nullptr) != SQLITE_OK)
        stmt_ = nullptr;
}

Statement::~Statement() { sqlite3_finalize(stmt_); }

Statement& Statement::bind(int index, std::int64_t value)
{
    sqlite3_bind_int64(stmt_, index, value);
    return *this;
}

Statement& Statement::bind(int index, const std::string& text)
{
    sqlite3_bind_text(stmt_, index, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
    return *this;
}

Statement& Statement::bindBlob(int index, std::string_view bytes)
{
    // A zero-length blob is still a blob, not NULL.
    sqlite3_bind_blob64(stmt_, index, bytes.empty() ? "" : bytes.data(), bytes.size(), SQLITE_TRANSIENT);
    return *this;
}

Statement& Statement::bindNull(int index)
{
    sqlite3_bind_null(stmt_, index);
    return *this;
}

int Statement::step() { return stmt_ ? sqlite3_step(stmt_) : SQLITE_ERROR; }

int Statement::run()
{
    const int code = step();
    return code == SQLITE_ROW ? SQLITE_DONE : code;
}

std::int64_t Statement::integer(int column) const { return sqlite3_column_int64(stmt_, column); }

std::string Statement::text(int column) const
{
    const void* data = sqlite3_column_blob(stmt_, column);
    const int size = sqlite3_column_bytes(stmt_, column);
    return data ? std::string(static_cast<const char*>(data), static_cast<std::size_t>(size)) : std::string();
}

bool Statement::isNull(int column) const { return sqlite3_column_type(stmt_, column) == SQLITE_NULL; }

Database::~Database() { close(); }

void Database::close()
{
    if (db_)
        sqlite3_close_v2(db_);
    db_ = nullptr;
}

bool Database::open(const std::string& path, bool create, const std::vector<Migration>& migrations,
                    std::string* error)
{
    close();
    const int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_FULLMUTEX | (create ? SQLITE_OPEN_CREATE : 0);
    if (sqlite3_open_v2(path.c_str(), &db_, flags, nullptr) != SQLITE_OK) {
        *error = "cannot open the database " + path + ": " + (db_ ? sqlite3_errmsg(db_) : "out of memory");
        close();
        return false;
    }
    sqlite3_extended_result_codes(db_, 1);
    sqlite3_busy_timeout(db_, 5000);
    // A receipt promises the upload is on disk: WAL with a sync at every commit.
    const bool wal = [&] {
        Statement mode(db_, "PRAGMA journal_mode=WAL");
        return mode.step() == SQLITE_ROW && mode.text(0) == "wal";
    }();
    if (!wal || exec("PRAGMA synchronous=FULL") != SQLITE_OK || exec("PRAGMA foreign_keys=ON") != SQLITE_OK) {
        *error = "cannot set up the database " + path + ": " + message();
        close();
        return false;
    }
    if (!migrate(migrations, error)) {
        close();
        return false;
    }
    return true;
}

int Database::exec(const char* sql) { return sqlite3_exec(db_, sql, nullptr, nullptr, nullptr); }

std::string Database::message() const { return db_ ? sqlite3_errmsg(db_) : "no database"; }

DbFailure Database::failureOf(int code)
{
    switch (code & 0xff) {
    case SQLITE_OK:
    case SQLITE_DONE:
    case SQLITE_ROW:
        return DbFailure::None;
    case SQLITE_FULL:
    case SQLITE_IOERR:
        return DbFailure::Full;
    default:
        return DbFailure::Other;
    }
}

int Database::version() const
{
    Statement q(db_, "SELECT version FROM schema_version");
    return q.step() == SQLITE_ROW ? static_cast<int>(q.integer(0)) : 0;
}

bool Database::transaction(const std::function<bool(int* code)>& body, int* code)
{
    *code = exec("BEGIN IMMEDIATE");
    if (*code != SQLITE_OK)
        return false;
    *code = SQLITE_OK;
    if (body(code)) {
        *code = exec("COMMIT");
        if (*code == SQLITE_OK)
            return true;
    }
    if (*code == SQLITE_OK)
        *code = SQLITE_ERROR;
    // A failed COMMIT may already have rolled back; the second attempt is harmless.
    exec("ROLLBACK");
    return false;
}

bool Database::migrate(const std::vector<Migration>& migrations, std::string* error)
{
    if (exec("CREATE TABLE IF NOT EXISTS schema_version(version INTEGER NOT NULL)") != SQLITE_OK) {
        *error = "cannot create the schema version table: " + message();
        return false;
    }
    const int current = version();
    const int known = migrations.empty() ? 0 : migrations.back().version;
    if (current > known) {
        *error = "the database has schema version " + std::to_string(current) +
                 ", newer than this program's " + std::to_string(known);
        return false;
    }
    for (const Migration& m : migrations) {
        if (m.version <= current)
            continue;
        std::string why;
        int code = SQLITE_OK;
        const bool done = transaction(
            [&](int* c) {
                if (!m.apply(db_, &why))
                    return false;
                *c = exec("DELETE FROM schema_version");
                if (*c != SQLITE_OK)
                    return false;
                Statement set(db_, "INSERT INTO schema_version(version) VALUES (?)");
                *c = set.bind(1, static_cast<std::int64_t>(m.version)).run();
                return *c == SQLITE_DONE;
            },
            &code);
        if (!done) {
            *error = "cannot migrate the database to schema version " + std::to_string(m.version) + ": " +
                     (why.empty() ? sqlite3_errstr(code) : why);
            return false;
        }
    }
    return true;
}

bool copyDatabase(const std::string& from, const std::string& toFile, std::string* error)
{
    // A read-only connection of its own, beside whatever connection is writing.
    sqlite3* source = nullptr;
    if (sqlite3_open_v2(from.c_str(), &source, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        *error = "cannot open " + from + ": " + (source ? sqlite3_errmsg(source) : "out of memory");
        sqlite3_close_v2(source);
        return false;
    }
    sqlite3_busy_timeout(source, 5000);
    sqlite3* target = nullptr;
    if (sqlite3_open_v2(toFile.c_str(), &target, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) != SQLITE_OK) {
        *error = "cannot open " + toFile + ": " + (target ? sqlite3_errmsg(target) : "out of memory");
        sqlite3_close_v2(target);
        sqlite3_close_v2(source);
        return false;
    }
    int code = SQLITE_OK;
    sqlite3_backup* b = sqlite3_backup_init(target, "main", source, "main");
    if (b) {
        code = sqlite3_backup_step(b, -1);
        sqlite3_backup_finish(b);
    }
    if (code == SQLITE_DONE)
        code = SQLITE_OK;
    if (!b || code != SQLITE_OK)
        code = sqlite3_errcode(target) == SQLITE_OK ? code : sqlite3_errcode(target);
    sqlite3_close_v2(target);
    sqlite3_close_v2(source);
    if (code != SQLITE_OK) {
        *error = "cannot back up to " + toFile + ": " + sqlite3_errstr(code);
        return false;
    }
    return true;
}

} // namespace korvane::robot
