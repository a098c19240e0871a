#pragma once
// The log robot without its web pages: what the committee's service does with a log
// from upload to published results. Everything lives in one data folder: the SQLite
// database (every upload byte for byte, receipts, the committee's settings), the
// plug-in's work folder, the judge's runs and the published results. The web server
// (RobotServer) and `korvane robot` call only this.
//
// Thread safety: every member may be called from any number of threads at once. The
// plug-in has process-wide state and is only ever called from one worker thread that
// this class owns; scoring and judging queue for it.

#include "tools/host/PluginSession.h"
#include "tools/judge/ContestDefinition.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace korvane::robot {

using Clock = std::chrono::system_clock;

struct RobotConfig {
    std::string dataDir;          // absolute or relative to the current directory at open()
    judge::ContestDefinition contest; // korvaneContest() unless --contest names another
    PluginChoice plugin;
    std::size_t maxUploadBytes = 5u << 20;
    // The time the robot sees; tests set a fixed one. Empty: the system clock.
    std::function<Clock::time_point()> now;
};

// One finding of the log check, tied to a line of the log as received (from 1; 0 for the
// log as a whole).
struct CheckLine {
    enum class Level : std::uint8_t { Error, Warning };
    Level level = Level::Error;
    std::size_t line = 0;
    std::string quoted;  // that line as sent, control characters made visible; may be empty
    std::string message; // what is wrong, in plain English
};

// A QSO the tour rule refuses, as the receipt lists it.
struct RefusedQso {
    std::size_t line = 0;
    std::string time; // "2026-11-21 15:04" UTC
    std::string call, band, mode, message;
};

struct LogCheck {
    bool accepted = false; // no line at Error level
    std::vector<CheckLine> lines; // errors first, then warnings, each by line
    std::string format;   // "Cabrillo 3.0", "Cabrillo 2.0", "ADIF"
    std::string call;     // the station's call as the log gives it; may be empty when refused
    std::vector<std::pair<std::string, std::string>> categories; // CATEGORY-* tag, value
    std::string category; // the judge's category label ("SINGLE-OP ALL CW LOW")
    std::size_t qsos = 0;
    // An ADIF log is stored as the Cabrillo 3.0 text made from it; conversion says what
    // was converted ("312 QSO records to QSO: lines; CALLSIGN from STATION_CALLSIGN").
    std::string cabrillo; // empty unless converted
    std::vector<std::string> conversion;
};

struct Receipt {
    std::string id;          // random, URL-safe, 22 characters
    std::string sha256;      // lower-case hex of the bytes received
    std::string receivedUtc; // "2026-11-21 18:03:12"
    std::string call;
    std::string category;
    std::size_t qsos = 0;
    long long claimedScore = 0; // the plug-in's score without the refused QSOs
    std::vector<RefusedQso> refused;
    bool late = false;       // accepted by the committee outside the window
    bool early = false;      // ... because it came before the contest's start
    bool replaced = false;   // a later upload for this call is the one judged
    std::string format;      // as LogCheck::format
    std::vector<std::string> conversion;
};

struct SubmitOutcome {
    enum class Status : std::uint8_t {
        Receipted,    // stored; receipt set
        Refused,      // the log check found errors; nothing stored as a log to judge
        WindowClosed, // before the start or after the deadline; kept for the committee
        TooLarge,     // over maxUploadBytes
        StorageFull,  // the disk would not take it; nothing receipted (HTTP 503)
        Failed,       // anything else the server could not do; message says what
    };
    Status status = Status::Failed;
    std::string message;   // one sentence for the entrant
    LogCheck check;
    std::optional<Receipt> receipt;
    bool sameAsBefore = false; // these bytes were receipted before: that receipt again
    std::int64_t keptAs = 0;   // the upload's number when kept for the committee
};

// A log in the public list: the latest upload of each call.
struct ReceivedLog {
    std::string call, category;
    std::size_t qsos = 0;
    long long claimedScore = 0;
    std::string latestUtc;
    bool checklog = false, late = false, early = false;
};

// Every upload the committee can see, replaced and refused-late ones too.
struct Submission {
    std::int64_t number = 0; // in order of arrival, from 1
    std::string receiptId;   // empty for a late upload the committee has not accepted
    std::string sha256, receivedUtc, call, category, clientAddress, format;
    std::size_t bytes = 0, qsos = 0;
    long long claimedScore = 0;
    bool latest = false;     // the one judged for its call
    bool late = false;       // came outside the window
    bool early = false;      // came before the contest's start
    bool accepted = true;    // false: late and not (yet) accepted
};

enum class WindowMode : std::uint8_t { Automatic, Open, Closed };

struct WindowState {
    WindowMode mode = WindowMode::Automatic;
    bool open = false;           // whether an upload is taken now
    std::string startUtc;        // the contest's start, empty when the definition has none
    std::string deadlineUtc;     // empty: no deadline
    long long secondsLeft = -1;  // till the deadline while open; -1 without one
    bool beforeStart = false;    // closed because the contest has not started
    std::string why;             // "the contest has not started", "the deadline has passed", ...
};

struct JudgeProgress {
    enum class State : std::uint8_t { Idle, Running, Done, Failed };
    State state = State::Idle;
    std::string stage;        // what the judge is doing now
    std::size_t done = 0, total = 0;
    std::string message;      // the failure, or a one-line summary when done
    std::string finishedUtc;
    bool published = false;   // the last run's results are the public ones
};

class Robot {
public:
    Robot();
    ~Robot(); // stops the worker after the job it is on
    Robot(const Robot&) = delete;
    Robot& operator=(const Robot&) = delete;

    // Creates the data folder and its database; the committee's token is returned once
    // and only its hash is kept. False when a database is there already.
    static bool init(const std::string& dataDir, std::string* token, std::string* error);
    // Opens (and migrates) the database, starts the plug-in worker.
    bool open(const RobotConfig& config, std::string* error);

    const judge::ContestDefinition& contest() const;
    WindowState window() const;

    // The entrant's side.
    SubmitOutcome submit(std::string_view bytes, const std::string& clientAddress);
    std::optional<Receipt> receipt(const std::string& id) const;
    std::vector<ReceivedLog> logsReceived() const; // by call

    // The committee's side.
    bool tokenMatches(std::string_view token) const; // constant time
    std::vector<Submission> submissions() const;     // every upload, by number
    std::optional<std::string> submissionBytes(std::int64_t number) const; // as received
    // The latest accepted log of every call, as a tar archive of CALL.cbr files.
    std::string latestArchive() const;
    bool setChecklog(const std::string& call, bool checklog, std::string* error);
    // Accepts a late upload: it gets its receipt and becomes its call's latest log.
    bool acceptLate(std::int64_t number, std::string* error);
    bool setWindow(WindowMode mode, std::string* error);
    // Runs the judge on the latest logs in the background (on the plug-in worker).
    bool startJudge(std::string* error);
    JudgeProgress judgeProgress() const;
    // Makes the last finished run's files the public results.
    bool publish(std::string* error);
    // The published results folder (results.html, reports/...); empty before publishing.
    std::string publishedFolder() const;

    // A consistent copy of the database while it runs (SQLite's online backup).
    // Opens only the database in dataDir, read-only: no plug-in, no change to the robot.
    static bool backup(const std::string& dataDir, const std::string& toFile, std::string* error);

    // The data folder as an absolute path, once open.
    const std::string& dataFolder() const;
    // How many threads have ever called the plug-in: 1 once it has been used.
    std::size_t pluginThreads() const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// How a submission's outcome is named in the API's JSON ("receipted", "refused", ...).
const char* statusName(SubmitOutcome::Status status);

} // namespace korvane::robot
