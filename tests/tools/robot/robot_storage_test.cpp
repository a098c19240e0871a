// The database under the robot: migrations from an older schema, transactions that leave
// nothing behind, a full disk, the online backup; and the secrets beside it.
#include "RobotTestSupport.h"
#include "tools/robot/Database.h"
#include "tools/robot/JudgeRunStore.h"
#include "tools/robot/RobotSchema.h"
#include "tools/robot/Secrets.h"
#include "tools/robot/SubmissionStore.h"
#include "tools/robot/TarArchive.h"

#include <doctest/doctest.h>

#include <filesystem>
#include <set>

using namespace robottest;
namespace fs = std::filesystem;

TEST_CASE("an older database is migrated in order, once, and a newer one is refused")
{
    TempDir temp(false);
    const std::string file = (temp.path() / "robot.sqlite").string();
    std::string error;
    const int mine = robotMigrations().back().version;
    {
        Database db;
        REQUIRE_MESSAGE(db.open(file, true, robotMigrations(), &error), error);
        CHECK(db.version() == mine);
        Statement insert(db.handle(), "INSERT INTO calls(call, checklog) VALUES ('RA3XA', 1)");
        CHECK(insert.run() == SQLITE_DONE);
    }
    int applied = 0;
    std::vector<Migration> next = robotMigrations();
    next.push_back({mine + 1, [&](sqlite3* db, std::string* why) {
                        ++applied;
                        if (sqlite3_exec(db, "ALTER TABLE calls ADD COLUMN note TEXT NOT NULL DEFAULT ''", nullptr,
                                         nullptr, nullptr) == SQLITE_OK)
                            return true;
                        *why = sqlite3_errmsg(db);
                        return false;
                    }});
    {
        Database db;
        REQUIRE_MESSAGE(db.open(file, false, next, &error), error);
        CHECK(db.version() == mine + 1);
        Statement q(db.handle(), "SELECT call, checklog, note FROM calls");
        REQUIRE(q.step() == SQLITE_ROW);
        CHECK(q.text(0) == "RA3XA"); // the rows survive
        CHECK(q.integer(1) == 1);
    }
    {
        Database db;
        REQUIRE(db.open(file, false, next, &error));
    }
    CHECK(applied == 1);

    // A step that fails leaves the version and the tables as they were.
    std::vector<Migration> broken = next;
    broken.push_back({mine + 2, [](sqlite3* db, std::string* why) {
                          sqlite3_exec(db, "CREATE TABLE half(x)", nullptr, nullptr, nullptr);
                          *why = "made-up failure";
                          return false;
                      }});
    {
        Database db;
        CHECK_FALSE(db.open(file, false, broken, &error));
        CHECK(error.find("made-up failure") != std::string::npos);
    }
    {
        Database db;
        REQUIRE(db.open(file, false, next, &error));
        CHECK(db.version() == mine + 1);
        Statement q(db.handle(), "SELECT count(*) FROM sqlite_master WHERE name = 'half'");
        REQUIRE(q.step() == SQLITE_ROW);
        CHECK(q.integer(0) == 0);
    }
    // This program's schema is older than the file's: it must not touch it.
    Database db;
    CHECK_FALSE(db.open(file, false, robotMigrations(), &error));
    CHECK(error.find("newer") != std::string::npos);
}

TEST_CASE("uploads kept by the first schema keep their order of arrival")
{
    TempDir temp(false);
    const std::string file = (temp.path() / "robot.sqlite").string();
    std::string error;
    {
        Database db;
        REQUIRE_MESSAGE(db.open(file, true, {robotMigrations().front()}, &error), error);
        for (const char* sha : {"a", "b"}) {
            Statement insert(db.handle(), "INSERT INTO submissions(received_utc, call, client_address, format, bytes, "
                                          "size, sha256, conversion, check_summary, category, categories, qsos, "
                                          "claimed_score, refused) VALUES ('', 'RA3XA', '', '', '', 0, ?, '[]', '[]', "
                                          "'', '[]', 0, 0, '[]')");
            REQUIRE(insert.bind(1, std::string(sha)).run() == SQLITE_DONE);
        }
    }
    Database db;
    REQUIRE_MESSAGE(db.open(file, false, robotMigrations(), &error), error);
    Statement q(db.handle(), "SELECT number, arrival, early FROM submissions ORDER BY number");
    for (std::int64_t n = 1; n <= 2; ++n) {
        REQUIRE(q.step() == SQLITE_ROW);
        CHECK(q.integer(0) == n);
        CHECK(q.integer(1) == n);
        CHECK(q.integer(2) == 0);
    }
}

TEST_CASE("the latest log of a call is the last to arrive, whatever order the commits came in")
{
    TempDir temp(false);
    Database db;
    std::string error;
    REQUIRE_MESSAGE(db.open((temp.path() / "r.sqlite").string(), true, robotMigrations(), &error), error);
    SubmissionStore store(db);
    LogCheck check;
    check.call = "RA3XA";
    check.accepted = true;
    auto upload = [&](const char* bytes, std::int64_t arrival) {
        NewSubmission u;
        u.bytes = bytes;
        u.sha256 = bytes;
        u.arrival = arrival;
        u.check = &check;
        const StoreResult r = store.store(u);
        REQUIRE(r.failure == DbFailure::None);
        return r;
    };
    upload("sent second", 20);
    upload("sent first", 10); // its commit came late
    std::vector<Submission> all = store.all();
    REQUIRE(all.size() == 2);
    CHECK(all[0].latest);
    CHECK_FALSE(all[1].latest);
    REQUIRE(store.latest().size() == 1);
    CHECK(store.latest()[0].text == "sent second");

    // The first bytes sent once more are the newest arrival: judged again.
    const StoreResult again = upload("sent first", 30);
    CHECK(again.sameAsBefore);
    CHECK(store.latest()[0].text == "sent first");
    CHECK(store.lastArrival() == 30);
}

TEST_CASE("the database is in WAL mode with full syncs")
{
    TempDir temp(false);
    Database db;
    std::string error;
    REQUIRE(db.open((temp.path() / "r.sqlite").string(), true, robotMigrations(), &error));
    Statement mode(db.handle(), "PRAGMA journal_mode");
    REQUIRE(mode.step() == SQLITE_ROW);
    CHECK(mode.text(0) == "wal");
    Statement sync(db.handle(), "PRAGMA synchronous");
    REQUIRE(sync.step() == SQLITE_ROW);
    CHECK(sync.integer(0) == 2);
}

TEST_CASE("the token: shown once, kept as a hash, compared whole")
{
    TestRobot t;
    CHECK(t.token.size() == 43);
    CHECK(t.robot->tokenMatches(t.token));
    std::string wrong = t.token;
    wrong.back() = wrong.back() == 'A' ? 'B' : 'A';
    CHECK_FALSE(t.robot->tokenMatches(wrong));
    CHECK_FALSE(t.robot->tokenMatches(""));
    CHECK_FALSE(t.robot->tokenMatches(t.token + "x"));
    // The token itself is nowhere in the database.
    const std::string bytes = readFileBytes(fs::path(t.data) / "robot.sqlite") +
                              readFileBytes(fs::path(t.data) / "robot.sqlite-wal");
    CHECK(bytes.find(t.token) == std::string::npos);
    CHECK(bytes.find(sha256Hex(t.token)) != std::string::npos);

    std::string token, error;
    CHECK_FALSE(Robot::init(t.data, &token, &error)); // never a second token
    CHECK(token.empty());
}

TEST_CASE("digests, random ids and the comparison")
{
    CHECK(sha256Hex("abc") == "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    CHECK(sha256Hex("") == "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
    std::set<std::string> ids;
    for (int i = 0; i < 200; ++i) {
        const std::string id = newReceiptId();
        REQUIRE(id.size() == 22);
        CHECK(id.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_") == std::string::npos);
        ids.insert(id);
    }
    CHECK(ids.size() == 200);
    CHECK(tokenHashMatches("secret", sha256Hex("secret")));
    CHECK_FALSE(tokenHashMatches("secret", sha256Hex("Secret")));
    CHECK_FALSE(tokenHashMatches("secret", ""));
}

TEST_CASE("a full disk: the upload is refused as such and nothing is receipted")
{
    TestRobot t;
    const std::string first = cabrillo("RA3XA", {qso("RA3XA", "1501", "UA9YKQ", 1, 1)});
    REQUIRE(t.robot->submit(first, "a").status == SubmitOutcome::Status::Receipted);
    const std::string mount = (fs::path(t.temp.path()) / "small").string();
    fs::create_directories(mount);
    const bool mounted = std::system(("mount -t tmpfs -o size=256k tmpfs " + mount + " 2>/dev/null").c_str()) == 0;
    if (!mounted) {
        MESSAGE("no tmpfs can be mounted here: the full disk is not tried");
        return;
    }
    // The plug-in's worker made a folder on it the process's current directory.
    struct Unmount {
        std::string path, away;
        ~Unmount()
        {
            std::error_code ignored;
            fs::current_path(away, ignored);
            CHECK(std::system(("umount " + path).c_str()) == 0);
        }
    } unmount{mount, t.temp.path().string()};
    // A robot of its own on the small disk; the disk is then filled to the last byte.
    std::string token, error;
    const std::string data = mount + "/data";
    REQUIRE(Robot::init(data, &token, &error));
    Robot robot;
    RobotConfig config;
    config.dataDir = data;
    config.contest = t.contest;
    config.plugin.path = pluginPath();
    config.now = [&] { return t.now; };
    REQUIRE_MESSAGE(robot.open(config, &error), error);
    REQUIRE(robot.submit(first, "a").status == SubmitOutcome::Status::Receipted);
    writeFileBytes(fs::path(mount) / "filler", std::string(1u << 20, 'x'));

    std::string big;
    for (int i = 0; i < 1500; ++i)
        big += qso("UA9YKQ", "1501", "R" + std::to_string(1000 + i) + "A", i % 999 + 1, 1) + "\n";
    const SubmitOutcome full = robot.submit(cabrillo("UA9YKQ", {big}), "a");
    CHECK(full.status == SubmitOutcome::Status::StorageFull);
    CHECK(full.message.find("disk is full") != std::string::npos);
    CHECK_FALSE(full.receipt);
    CHECK(std::string(statusName(full.status)) == "storage-full");
    // What was receipted before is still there; nothing of the refused upload is.
    fs::remove(fs::path(mount) / "filler");
    const std::vector<Submission> all = robot.submissions();
    REQUIRE(all.size() == 1);
    CHECK(all[0].call == "RA3XA");
}

TEST_CASE("a backup leaves the running robot alone: its judge run, its folder, no plug-in")
{
    TestRobot t;
    std::int64_t running = 0;
    {
        Database db;
        std::string error;
        REQUIRE_MESSAGE(db.open((std::filesystem::path(t.data) / "robot.sqlite").string(), false, robotMigrations(), &error),
                        error);
        running = JudgeRunStore(db).begin("2026-11-22 10:00:00", 3);
        REQUIRE(running > 0);
    }
    const std::filesystem::path before = std::filesystem::current_path();
    const std::string copy = (t.temp.path() / "copy.sqlite").string();
    std::string error;
    REQUIRE_MESSAGE(Robot::backup(t.data, copy, &error), error);
    CHECK(std::filesystem::current_path() == before);

    Database db;
    REQUIRE_MESSAGE(db.open((std::filesystem::path(t.data) / "robot.sqlite").string(), false, robotMigrations(), &error),
                    error);
    const std::optional<JudgeRunRow> run = JudgeRunStore(db).last();
    REQUIRE(run);
    CHECK(run->number == running);
    CHECK(run->state == "running");
}

TEST_CASE("a backup while it runs, and the latest logs as one archive")
{
    TestRobot t;
    const std::string a = cabrillo("RA3XA", {qso("RA3XA", "1501", "UA9YKQ", 1, 1)});
    const std::string b = cabrillo("RA3XA/P", {qso("RA3XA/P", "1502", "UA9YKQ", 2, 2)});
    REQUIRE(t.robot->submit(a, "a").status == SubmitOutcome::Status::Receipted);
    REQUIRE(t.robot->submit(b, "a").status == SubmitOutcome::Status::Receipted);

    const std::string copy = (t.temp.path() / "backup.sqlite").string();
    std::string error;
    REQUIRE_MESSAGE(Robot::backup(t.data, copy, &error), error);
    Database db;
    REQUIRE_MESSAGE(db.open(copy, false, robotMigrations(), &error), error);
    Statement q(db.handle(), "SELECT count(*) FROM submissions");
    REQUIRE(q.step() == SQLITE_ROW);
    CHECK(q.integer(0) == 2);
    Statement check(db.handle(), "PRAGMA integrity_check");
    REQUIRE(check.step() == SQLITE_ROW);
    CHECK(check.text(0) == "ok");
    CHECK_FALSE(Robot::backup(t.data, (t.temp.path() / "absent" / "x.sqlite").string(), &error));
    CHECK_FALSE(Robot::backup((t.temp.path() / "nowhere").string(), copy, &error));

    const std::string tar = t.robot->latestArchive();
    REQUIRE(tar.size() % 512 == 0);
    // ustar headers: the names made safe, the bytes after each header as sent.
    CHECK(tar.compare(0, 9, "RA3XA.cbr") == 0);
    CHECK(tar.compare(257, 5, "ustar") == 0);
    CHECK(tar.compare(512, a.size(), a) == 0);
    const std::size_t second = 512 + (a.size() + 511) / 512 * 512;
    CHECK(tar.compare(second, 11, "RA3XA-P.cbr") == 0);
    CHECK(tar.compare(second + 512, b.size(), b) == 0);
    // The archive reads back with tar itself.
    writeFileBytes(t.temp.path() / "logs.tar", tar);
    const std::string list = (t.temp.path() / "list.txt").string();
    REQUIRE(std::system(("tar -tf " + (t.temp.path() / "logs.tar").string() + " > " + list).c_str()) == 0);
    CHECK(readFileBytes(list) == "RA3XA.cbr\nRA3XA-P.cbr\n");
}
