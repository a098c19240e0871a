// The committee's judge run from the robot: on the worker, with progress, the checklog
// marks reaching the judge, and publishing the finished run.
#include "RobotTestSupport.h"
#include "contract/AsciiText.h"
#include "tools/judge/ContestDefinitionFile.h"
#include "tools/judge/Simulation.h"
#include "tools/robot/Database.h"
#include "tools/robot/RobotSchema.h"

#include <doctest/doctest.h>
#include <nlohmann/json.hpp>

#include <functional>

#include <chrono>
#include <filesystem>
#include <thread>

using namespace robottest;
namespace fs = std::filesystem;

namespace {

std::string lowerCase(std::string text)
{
    for (char& c : text)
        c = ascii::toLower(c);
    return text;
}

JudgeProgress waitForJudge(Robot& robot)
{
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(120);
    for (;;) {
        JudgeProgress p = robot.judgeProgress();
        if (p.state != JudgeProgress::State::Running || std::chrono::steady_clock::now() > until)
            return p;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

} // namespace

TEST_CASE("a simulated contest judged and published; a checklog mark reaches the judge")
{
    TestRobot t;
    judge::SimulationOptions options;
    options.stations = 12;
    options.seed = 7;
    options.qsosPerLog = 40;
    options.start = *t.contest.start;
    options.end = *t.contest.end;
    const judge::Simulation simulation = judge::simulateContest(options);
    REQUIRE(simulation.logs.size() >= 5);
    std::size_t receipted = 0;
    for (const judge::SimulatedLog& log : simulation.logs) {
        const SubmitOutcome out = t.robot->submit(log.text, "a");
        receipted += out.status == SubmitOutcome::Status::Receipted;
    }
    REQUIRE(receipted >= 5);
    const std::string marked = t.robot->logsReceived()[0].call;
    std::string error;
    REQUIRE(t.robot->setChecklog(lowerCase(marked), true, &error)); // marked as the committee types it
    CHECK(t.robot->logsReceived()[0].checklog);
    CHECK_FALSE(t.robot->setChecklog("\x1b[2J", true, &error));
    CHECK(error.find('\x1b') == std::string::npos);

    CHECK(t.robot->publishedFolder().empty());
    CHECK_FALSE(t.robot->publish(&error)); // nothing judged yet
    REQUIRE_MESSAGE(t.robot->startJudge(&error), error);
    const JudgeProgress done = waitForJudge(*t.robot);
    REQUIRE_MESSAGE(done.state == JudgeProgress::State::Done, done.message);
    CHECK(done.message.find("judged " + std::to_string(receipted) + " logs") != std::string::npos);
    CHECK(done.message.find("1 check logs") != std::string::npos);
    CHECK_FALSE(done.published);
    CHECK(t.robot->publishedFolder().empty());

    REQUIRE_MESSAGE(t.robot->publish(&error), error);
    CHECK(t.robot->judgeProgress().published);
    const fs::path folder = t.robot->publishedFolder();
    REQUIRE(!folder.empty());
    CHECK(folder.is_absolute());
    CHECK(fs::exists(folder / "results.html"));
    // The marked station is a check log there, and it alone.
    const nlohmann::json results = nlohmann::json::parse(readFileBytes(folder / "results.json"));
    std::vector<std::string> checkLogs;
    std::size_t stations = 0;
    std::function<void(const nlohmann::json&)> walk = [&](const nlohmann::json& v) {
        if (v.is_object() && v.contains("check_log") && v.contains("call")) {
            ++stations;
            if (v["check_log"].get<bool>())
                checkLogs.push_back(v["call"].get<std::string>());
        }
        if (v.is_structured())
            for (const auto& item : v)
                walk(item);
    };
    walk(results);
    CHECK(stations == receipted);
    CHECK(checkLogs == std::vector<std::string>{marked});

    // The plug-in's worker is back in its own folder and still scores.
    const SubmitOutcome after = t.robot->submit(cabrillo("ZZ9ZZ", {qso("ZZ9ZZ", "1501", "RA3XA", 1, 1)}), "a");
    CHECK(after.status == SubmitOutcome::Status::Receipted);
    CHECK(fs::current_path() == fs::path(t.data) / "plugin");
    CHECK(t.robot->pluginThreads() == 1);

    // A second run replaces nothing until it is published; a restart keeps the pointer.
    REQUIRE(t.robot->startJudge(&error));
    REQUIRE(waitForJudge(*t.robot).state == JudgeProgress::State::Done);
    CHECK(t.robot->publishedFolder() == folder.string());
    t.reopen();
    CHECK(t.robot->publishedFolder() == folder.string());
    CHECK(t.robot->judgeProgress().state == JudgeProgress::State::Done);
    CHECK_FALSE(t.robot->judgeProgress().published);
}

TEST_CASE("the judge refuses to start without logs, or while it runs")
{
    TestRobot t;
    std::string error;
    CHECK_FALSE(t.robot->startJudge(&error));
    CHECK(error.find("no log") != std::string::npos);
    REQUIRE(t.robot->submit(cabrillo("RA3XA", {qso("RA3XA", "1501", "UA9YKQ", 1, 1)}), "a").status ==
            SubmitOutcome::Status::Receipted);
    REQUIRE(t.robot->startJudge(&error));
    // The first run is queued or running: a second is refused until it ends.
    std::string again;
    if (t.robot->judgeProgress().state == JudgeProgress::State::Running)
        CHECK_FALSE(t.robot->startJudge(&again));
    CHECK(waitForJudge(*t.robot).state == JudgeProgress::State::Done);
}

TEST_CASE("a run cut off by a stop is failed when the robot starts again")
{
    TestRobot t;
    t.robot.reset();
    {
        Database db;
        std::string error;
        REQUIRE(db.open((fs::path(t.data) / "robot.sqlite").string(), false, robotMigrations(), &error));
        Statement run(db.handle(), "INSERT INTO judge_runs(started_utc, state, results) VALUES ('x', 'running', '')");
        REQUIRE(run.run() == SQLITE_DONE);
    }
    t.reopen();
    const JudgeProgress p = t.robot->judgeProgress();
    CHECK(p.state == JudgeProgress::State::Failed);
    CHECK(p.message.find("stopped") != std::string::npos);
    std::string error;
    CHECK_FALSE(t.robot->publish(&error));
}

TEST_CASE("a plug-in named by a relative path serves the judge too, after the worker moved")
{
    TempDir temp(false);
    const std::string data = (temp.path() / "data").string();
    std::string token, error;
    REQUIRE(Robot::init(data, &token, &error));
    const std::string plugin = pluginPath().empty() ? korvane::defaultPluginPath() : pluginPath();
    RobotConfig config;
    config.dataDir = "data";
    config.contest = judge::korvaneContest();
    config.plugin.path = fs::relative(plugin, fs::current_path()).string();
    config.now = [] { return utc("2026-11-22 10:00"); };
    REQUIRE(fs::path(config.plugin.path).is_relative());
    Robot robot;
    REQUIRE_MESSAGE(robot.open(config, &error), error);
    CHECK(robot.dataFolder() == data);
    REQUIRE(robot.submit(cabrillo("RA3XA", {qso("RA3XA", "1501", "UA9YKQ", 1, 1)}), "a").status ==
            SubmitOutcome::Status::Receipted);
    REQUIRE(robot.startJudge(&error));
    const JudgeProgress p = waitForJudge(robot);
    CHECK_MESSAGE(p.state == JudgeProgress::State::Done, p.message);
}

TEST_CASE("uploads while the judge runs wait for the plug-in and are scored as alone")
{
    TestRobot t;
    judge::SimulationOptions options;
    options.stations = 30;
    options.seed = 3;
    options.qsosPerLog = 80;
    options.start = *t.contest.start;
    options.end = *t.contest.end;
    const judge::Simulation simulation = judge::simulateContest(options);
    REQUIRE(simulation.logs.size() > 8);
    // The first logs are judged; the last eight arrive during the run.
    const std::size_t early = simulation.logs.size() - 8;
    for (std::size_t i = 0; i < early; ++i)
        t.robot->submit(simulation.logs[i].text, "a");
    std::string error;
    REQUIRE(t.robot->startJudge(&error));
    std::vector<SubmitOutcome> during(8);
    std::vector<std::thread> senders;
    for (std::size_t i = 0; i < 8; ++i)
        senders.emplace_back([&, i] { during[i] = t.robot->submit(simulation.logs[early + i].text, "b"); });
    for (std::thread& s : senders)
        s.join();
    CHECK(waitForJudge(*t.robot).state == JudgeProgress::State::Done);
    CHECK(t.robot->pluginThreads() == 1);
    std::size_t receipted = 0;
    for (const SubmitOutcome& out : during)
        receipted += out.status == SubmitOutcome::Status::Receipted;
    CHECK(receipted >= 6);

    TestRobot alone;
    for (std::size_t i = 0; i < 8; ++i) {
        const SubmitOutcome quiet = alone.robot->submit(simulation.logs[early + i].text, "a");
        CHECK(quiet.status == during[i].status);
        if (quiet.receipt && during[i].receipt)
            CHECK(quiet.receipt->claimedScore == during[i].receipt->claimedScore);
    }
}
