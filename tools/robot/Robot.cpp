#include "tools/robot/Robot.h"

#include "contract/AsciiText.h"
#include "tools/logs/CabrilloLayout.h"
#include "tools/output/ControlText.h"
#include "tools/robot/ClaimedScore.h"
#include "tools/robot/JudgeRun.h"
#include "tools/robot/JudgeRunStore.h"
#include "tools/robot/LogChecker.h"
#include "tools/robot/PluginWorker.h"
#include "tools/robot/RobotSchema.h"
#include "tools/robot/Secrets.h"
#include "tools/robot/SubmissionStore.h"
#include "tools/robot/SubmissionWindow.h"
#include "tools/robot/TarArchive.h"

#include <algorithm>
#include <filesystem>
#include <mutex>

namespace korvane::robot {
namespace {

namespace fs = std::filesystem;

constexpr const char* kDatabaseName = "robot.sqlite";
constexpr const char* kTokenKey = "token_sha256";
constexpr const char* kWindowKey = "window";
constexpr const char* kPublishedKey = "published_run";

std::string megabytes(std::size_t bytes)
{
    const std::size_t mb = bytes >> 20;
    return mb > 0 && bytes % (1u << 20) == 0 ? std::to_string(mb) + " MB" : std::to_string(bytes) + " bytes";
}

std::string countOf(std::size_t n, const char* one, const char* many)
{
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

} // namespace

struct Robot::Impl {
    RobotConfig config;
    std::string dataDir; // absolute
    Database db;
    SubmissionStore store{db};
    JudgeRunStore runs{db};

    mutable std::mutex judgeMutex;
    JudgeProgress progress;

    // Last: it stops before the database it writes to closes.
    PluginWorker worker;

    Clock::time_point now() const { return config.now ? config.now() : Clock::now(); }
    std::string pluginFolder() const { return (fs::path(dataDir) / "plugin").string(); }
    std::string runFolder(std::int64_t n) const
    {
        return (fs::path(dataDir) / "judge" / ("run-" + std::to_string(n))).string();
    }
    WindowMode windowMode() const { return windowModeOf(store.setting(kWindowKey).value_or("automatic")); }
    std::int64_t publishedRun() const
    {
        const std::string text = store.setting(kPublishedKey).value_or("0");
        try {
            return std::stoll(text);
        } catch (...) {
            return 0;
        }
    }
    void judge(const JudgeJob& job, std::int64_t number);

    // The log's claimed score from the plug-in's thread; false when the worker is stopping.
    bool claim(const ReadLog& log, Claim& out)
    {
        return worker.run([&](PluginSession& plugin) { out = claimedScore(plugin, log, config.contest); });
    }

    // Microseconds of the clock, yet always rising, even when the clock stands still or steps back.
    std::mutex arrivalMutex;
    std::int64_t lastArrival = 0;
    std::int64_t nextArrival(Clock::time_point time)
    {
        const auto micros = std::chrono::duration_cast<std::chrono::microseconds>(time.time_since_epoch()).count();
        std::lock_guard<std::mutex> lock(arrivalMutex);
        lastArrival = std::max<std::int64_t>(lastArrival + 1, micros);
        return lastArrival;
    }

    // Only what can be judged is scored: a late upload waits for the committee, and bytes
    // stored before keep the score they have.
    bool needsScore(const NewSubmission& upload) const
    {
        if (upload.late)
            return false;
        const std::optional<PriorUpload> prior = store.prior(upload.sha256, upload.check->call);
        return !prior || !prior->receipted;
    }
};

Robot::Robot() : impl_(std::make_unique<Impl>()) {}
Robot::~Robot() = default;

bool Robot::init(const std::string& dataDir, std::string* token, std::string* error)
{
    std::error_code ec;
    const fs::path dir = fs::absolute(dataDir, ec);
    fs::create_directories(dir / "plugin", ec);
    if (!ec)
        fs::create_directories(dir / "judge", ec);
    if (ec) {
        *error = "cannot create " + dir.string() + ": " + ec.message();
        return false;
    }
    const fs::path file = dir / kDatabaseName;
    if (fs::exists(file, ec)) {
        *error = file.string() + " is there already: the robot is set up (its token was shown once)";
        return false;
    }
    Database db;
    if (!db.open(file.string(), true, robotMigrations(), error))
        return false;
    const std::string secret = newToken();
    if (secret.size() != 43) {
        *error = "no random token could be made";
        return false;
    }
    SubmissionStore store(db);
    if (!store.setSetting(kTokenKey, sha256Hex(secret), error))
        return false;
    *token = secret;
    return true;
}

bool Robot::open(const RobotConfig& config, std::string* error)
{
    Impl& m = *impl_;
    m.config = config;
    std::error_code ec;
    // The worker and every judge run change the current directory: no path may be relative.
    if (!m.config.plugin.path.empty())
        m.config.plugin.path = fs::absolute(m.config.plugin.path, ec).string();
    m.dataDir = fs::absolute(config.dataDir, ec).lexically_normal().string();
    while (m.dataDir.size() > 1 && m.dataDir.back() == '/')
        m.dataDir.pop_back();
    const fs::path file = fs::path(m.dataDir) / kDatabaseName;
    if (!fs::exists(file, ec)) {
        *error = "no robot database in " + m.dataDir + ": create it with korvane robot init --data " + m.dataDir;
        return false;
    }
    if (!m.db.open(file.string(), false, robotMigrations(), error))
        return false;
    m.lastArrival = m.store.lastArrival();
    m.runs.failUnfinished();
    if (const auto last = m.runs.last()) {
        m.progress.state = last->state == "done" ? JudgeProgress::State::Done : JudgeProgress::State::Failed;
        m.progress.message = last->message;
        m.progress.finishedUtc = last->finishedUtc;
        m.progress.published = m.publishedRun() == last->number;
    }
    fs::create_directories(m.pluginFolder(), ec);
    return m.worker.start(config.plugin, m.pluginFolder(), error);
}

const judge::ContestDefinition& Robot::contest() const { return impl_->config.contest; }

WindowState Robot::window() const { return windowAt(impl_->config.contest, impl_->windowMode(), impl_->now()); }

SubmitOutcome Robot::submit(std::string_view bytes, const std::string& clientAddress)
{
    Impl& m = *impl_;
    SubmitOutcome out;
    if (bytes.size() > m.config.maxUploadBytes) {
        out.status = SubmitOutcome::Status::TooLarge;
        out.message = "The upload is larger than " + megabytes(m.config.maxUploadBytes) + "; a log is far smaller.";
        return out;
    }
    const Clock::time_point now = m.now();
    NewSubmission upload;
    upload.arrival = m.nextArrival(now);
    CheckedLog checked = checkLog(bytes, m.config.contest);
    out.check = checked.check;
    if (!out.check.accepted) {
        std::size_t errors = 0;
        for (const CheckLine& l : out.check.lines)
            errors += l.level == CheckLine::Level::Error;
        out.status = SubmitOutcome::Status::Refused;
        out.message = "The log check found " + countOf(errors, "error", "errors") +
                      ": the log was not taken. Fix the lines listed and send it again.";
        return out;
    }
    const WindowState window = windowAt(m.config.contest, m.windowMode(), now);
    upload.bytes = bytes;
    upload.sha256 = sha256Hex(bytes);
    upload.receivedUtc = utcText(now);
    // The server's word, yet kept short: a header it was taken from can be long.
    upload.clientAddress = clientAddress.substr(0, 200);
    upload.check = &out.check;
    upload.late = !window.open;
    upload.early = window.beforeStart;
    if (m.needsScore(upload)) {
        Claim claim;
        if (!m.claim(checked.log, claim)) {
            out.status = SubmitOutcome::Status::Failed;
            out.message = "The log could not be scored: the robot is stopping. Please send it again later.";
            return out;
        }
        upload.claimedScore = claim.score;
        upload.refused = std::move(claim.refused);
    }
    StoreResult stored = m.store.store(upload);
    switch (stored.failure) {
    case DbFailure::None:
        break;
    case DbFailure::Full:
        out.status = SubmitOutcome::Status::StorageFull;
        out.message = "The robot's disk is full: your log was not stored and no receipt was given. "
                      "Please send it again later.";
        return out;
    case DbFailure::Other:
        out.status = SubmitOutcome::Status::Failed;
        out.message = "The log could not be stored (" + stored.message + "); no receipt was given.";
        return out;
    }
    out.sameAsBefore = stored.sameAsBefore;
    if (upload.late && stored.receipt) {
        out.status = SubmitOutcome::Status::Receipted;
        out.receipt = std::move(stored.receipt);
        out.message = "These bytes were received before: this is their receipt. Logs are not taken now (" +
                      window.why + "), so the log judged for " + out.check.call + " stays as it was.";
        return out;
    }
    if (upload.late) {
        out.status = SubmitOutcome::Status::WindowClosed;
        out.keptAs = stored.number;
        out.message = "Logs are not taken now: " + window.why + ". Your log was kept for the committee as upload " +
                      std::to_string(stored.number) + ", who may still accept it.";
        return out;
    }
    out.status = SubmitOutcome::Status::Receipted;
    out.receipt = std::move(stored.receipt);
    out.message = out.sameAsBefore ? "These bytes were received before: this is their receipt."
                                   : "Your log was received.";
    return out;
}

std::optional<Receipt> Robot::receipt(const std::string& id) const { return impl_->store.receipt(id); }

std::vector<ReceivedLog> Robot::logsReceived() const { return impl_->store.received(); }

bool Robot::tokenMatches(std::string_view token) const
{
    const std::optional<std::string> hash = impl_->store.setting(kTokenKey);
    return hash && tokenHashMatches(token, *hash);
}

std::vector<Submission> Robot::submissions() const { return impl_->store.all(); }

std::optional<std::string> Robot::submissionBytes(std::int64_t number) const { return impl_->store.bytes(number); }

std::string Robot::latestArchive() const
{
    const long long stamp =
        std::chrono::duration_cast<std::chrono::seconds>(impl_->now().time_since_epoch()).count();
    TarArchive tar;
    for (const LatestLog& log : impl_->store.latest())
        tar.add(logFileName(log.call), log.text, stamp);
    return tar.finish();
}

bool Robot::setChecklog(const std::string& call, bool checklog, std::string* error)
{
    // Calls are stored as the log check gives them: upper case.
    const std::string upper = ascii::upper(call);
    if (!cabrillo::looksLikeCall(upper)) {
        *error = "\"" + controlsEscaped(call.substr(0, 40)) + "\" is not a callsign";
        return false;
    }
    return impl_->store.setChecklog(upper, checklog, error);
}

bool Robot::acceptLate(std::int64_t number, std::string* error)
{
    Impl& m = *impl_;
    // Kept unscored so that a late upload never waited on the plug-in: scored now.
    const std::optional<std::string> bytes = m.store.bytes(number);
    if (!bytes) {
        *error = "there is no upload number " + std::to_string(number);
        return false;
    }
    const CheckedLog checked = checkLog(*bytes, m.config.contest);
    Claim claim;
    if (!m.claim(checked.log, claim)) {
        *error = "the robot is stopping: the upload could not be scored";
        return false;
    }
    return m.store.acceptLate(number, claim.score, claim.refused, error);
}

bool Robot::setWindow(WindowMode mode, std::string* error)
{
    return impl_->store.setSetting(kWindowKey, windowModeName(mode), error);
}

void Robot::Impl::judge(const JudgeJob& job, std::int64_t number)
{
    auto progressOf = [this](const char* stage, std::size_t done, std::size_t total) {
        std::lock_guard<std::mutex> lock(judgeMutex);
        progress.stage = stage;
        progress.done = done;
        progress.total = total;
    };
    std::string summary, error;
    const bool judged = runJudge(job, progressOf, &summary, &error);
    // The judge's plug-in session left the process in its own work folder.
    std::string ignored;
    enterWorkFolder(pluginFolder(), &ignored);
    keepWindowClosed();
    const std::string finished = utcText(now());
    if (judged)
        runs.setResults(number, (fs::path(job.folder) / "results").string());
    runs.finish(number, judged, judged ? summary : error, finished);
    std::lock_guard<std::mutex> lock(judgeMutex);
    progress.state = judged ? JudgeProgress::State::Done : JudgeProgress::State::Failed;
    progress.stage = judged ? "done" : "failed";
    progress.message = judged ? summary : error;
    progress.finishedUtc = finished;
    progress.published = false;
}

bool Robot::startJudge(std::string* error)
{
    Impl& m = *impl_;
    std::lock_guard<std::mutex> lock(m.judgeMutex);
    if (m.progress.state == JudgeProgress::State::Running) {
        *error = "the judge is running already";
        return false;
    }
    const std::vector<LatestLog> logs = m.store.latest();
    if (logs.empty()) {
        *error = "no log has been received yet";
        return false;
    }
    const std::int64_t number = m.runs.begin(utcText(m.now()), logs.size());
    if (number == 0) {
        *error = "cannot record the judge's run: " + m.db.message();
        return false;
    }
    JudgeJob job;
    job.folder = m.runFolder(number);
    job.checklogCalls = m.store.checklogCalls();
    job.contest = m.config.contest;
    job.plugin = m.config.plugin;
    if (!writeJudgeLogs(job, logs, error)) {
        m.runs.finish(number, false, *error, utcText(m.now()));
        return false;
    }
    m.progress = JudgeProgress{};
    m.progress.state = JudgeProgress::State::Running;
    m.progress.stage = "waiting for the plug-in";
    m.progress.published = false;
    m.worker.post([&m, job, number](PluginSession&) { m.judge(job, number); });
    return true;
}

JudgeProgress Robot::judgeProgress() const
{
    std::lock_guard<std::mutex> lock(impl_->judgeMutex);
    return impl_->progress;
}

bool Robot::publish(std::string* error)
{
    Impl& m = *impl_;
    std::lock_guard<std::mutex> lock(m.judgeMutex);
    const std::optional<JudgeRunRow> done = m.runs.lastDone();
    if (!done) {
        *error = "no judge run has finished";
        return false;
    }
    if (!m.store.setSetting(kPublishedKey, std::to_string(done->number), error))
        return false;
    const std::optional<JudgeRunRow> last = m.runs.last();
    m.progress.published = last && last->number == done->number;
    return true;
}

std::string Robot::publishedFolder() const
{
    const std::int64_t n = impl_->publishedRun();
    if (n <= 0)
        return {};
    const std::optional<JudgeRunRow> run = impl_->runs.run(n);
    return run && run->state == "done" ? run->results : std::string();
}

bool Robot::backup(const std::string& dataDir, const std::string& toFile, std::string* error)
{
    std::error_code ec;
    const std::string from = (fs::absolute(dataDir, ec) / kDatabaseName).string();
    if (!fs::exists(from, ec)) {
        *error = "no robot database at " + from;
        return false;
    }
    // A copy must not start the plug-in, nor touch the running robot's judge runs or schema.
    return copyDatabase(from, toFile, error);
}

const std::string& Robot::dataFolder() const { return impl_->dataDir; }

std::size_t Robot::pluginThreads() const { return impl_->worker.threadsSeen(); }

const char* statusName(SubmitOutcome::Status status)
{
    switch (status) {
    case SubmitOutcome::Status::Receipted:
        return "receipted";
    case SubmitOutcome::Status::Refused:
        return "refused";
    case SubmitOutcome::Status::WindowClosed:
        return "window-closed";
    case SubmitOutcome::Status::TooLarge:
        return "too-large";
    case SubmitOutcome::Status::StorageFull:
        return "storage-full";
    case SubmitOutcome::Status::Failed:
        break;
    }
    return "failed";
}

} // namespace korvane::robot
