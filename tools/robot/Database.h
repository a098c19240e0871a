#pragma once
// SQLite through its C API, the way the robot needs it: one connection, prepared
// statements with bound values only, transactions that either commit or leave nothing,
// and the schema brought up to date by ordered migrations on open.

#include <sqlite3.h>

#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace korvane::robot {

// What a failed call of the database means for the caller.
enum class DbFailure : std::uint8_t {
    None,
    Full,  // the disk (or the database's page limit) would not take more; an I/O error too
    Other,
};

class Statement {
public:
    Statement(sqlite3* db, const char* sql);
    ~Statement();
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    bool prepared() const { return stmt_ != nullptr; }
    Statement& bind(int index, std::int64_t value);
    Statement& bind(int index, const std::string& text);
    Statement& bindBlob(int index, std::string_view bytes);
    Statement& bindNull(int index);

    // SQLITE_ROW, SQLITE_DONE or the error code.
    int step();
    // Runs a statement that returns no rows; the result code.
    int run();

    std::int64_t integer(int column) const;
    std::string text(int column) const; // also a BLOB's bytes
    bool isNull(int column) const;

private:
    sqlite3_stmt* stmt_ = nullptr;
};

// A migration takes the database from version n-1 to n, inside the transaction that
// records n.
struct Migration {
    int version = 0;
    std::function<bool(sqlite3* db, std::string* error)> apply;
};

class Database {
public:
    Database() = default;
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    // Opens (create: creates) the file with WAL, synchronous=FULL and a busy timeout, then
    // applies the migrations past the stored version in order. False with the reason.
    bool open(const std::string& path, bool create, const std::vector<Migration>& migrations,
              std::string* error);
    void close();

    sqlite3* handle() const { return db_; }
    // Every use of handle() holds this: one connection, many threads.
    std::mutex& mutex() const { return mutex_; }

    int version() const;
    std::string message() const; // the connection's last error
    static DbFailure failureOf(int code);

    // BEGIN IMMEDIATE, body, COMMIT; a rollback when body or the commit fails. body's
    // false result code (or 0) is returned through code.
    bool transaction(const std::function<bool(int* code)>& body, int* code);

    // Runs SQL text written in the program (never from a request).
    int exec(const char* sql);

private:
    bool migrate(const std::vector<Migration>& migrations, std::string* error);

    sqlite3* db_ = nullptr;
    mutable std::mutex mutex_;
};

// A consistent copy of the database file from into toFile with SQLite's online backup,
// while another connection may be writing to it.
bool copyDatabase(const std::string& from, const std::string& toFile, std::string* error);

} // namespace korvane::robot
