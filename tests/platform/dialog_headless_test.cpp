// The headless dialog backend: the modal loop, the answer entry of the platform table,
// data exchange on its plain-data controls, messages from other threads and timers.
// (The Win32 backend runs the same dialog classes under Wine in the win32/ folders of tests/.)
#if !defined(_WIN32)

#include "FakePlatform.h"
#include "platform/Dialog.h"

#include <doctest/doctest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

using namespace platform::dialog;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int kName = 1007;
constexpr int kBand = 1014;
constexpr unsigned kPoke = kPrivateFirst + 3;

// A dialog with two bound fields, a private message and timer bookkeeping.
class Probe : public Dialog {
public:
    Probe() : Dialog(55) {}
    std::string name = "loaded";
    std::string band = "8";
    std::vector<std::string> log;
    std::vector<unsigned> ticks;
    std::atomic<WindowHandle> published{nullptr};

    static const MessageTable kMessages;

protected:
    const MessageTable& messageTable() const override { return kMessages; }
    void exchangeData(DataExchange& dx) override
    {
        dx.text(kName, name);
        dx.comboText(kBand, band);
    }
    bool onInitDialog() override
    {
        log.push_back("init");
        published = handle();
        return Dialog::onInitDialog();
    }
    std::vector<InitEntry> headlessInitData() const override
    {
        return {{kBand, true, "ALL"}, {kBand, true, "160"}, {kBand, true, "80"}};
    }

private:
    Result onPoke(const Message& m)
    {
        log.push_back("poke " + std::to_string(m.wParam));
        if (m.wParam == 0)
            endDialog(40);
        return 1;
    }
    Result onTimer(const Message& m)
    {
        ticks.push_back(static_cast<unsigned>(m.wParam));
        return 1;
    }
    Result onDestroy(const Message&)
    {
        log.push_back("destroy");
        return 0;
    }
    static const MessageEntry kEntries[];
};
const MessageEntry Probe::kEntries[] = {
    onMessage<Probe, &Probe::onPoke>(kPoke),
    onMessage<Probe, &Probe::onTimer>(kTimer),
    onMessage<Probe, &Probe::onDestroy>(kDestroy),
};
const MessageTable Probe::kMessages = makeTable(&Dialog::kMessages, Probe::kEntries);

// The answer entry for one test: a plain function that runs the test's script.
void (*script)(Dialog&) = nullptr;
void runScript(Dialog& d) { script(d); }

struct Answer {
    explicit Answer(void (*s)(Dialog&))
    {
        script = s;
        platform::ops().dialogAnswer = runScript;
    }
};

} // namespace

TEST_CASE("unattended, a dialog of the base class waits; the answer entry can end it")
{
    FakePlatform fake;
    CHECK(reinterpret_cast<void*>(platform::ops().dialogAnswer) ==
          reinterpret_cast<void*>(platform::defaultOps().dialogAnswer));
    Answer cancel([](Dialog& d) { d.postMessage(kCommand, makeCommand(kIdCancel)); });
    Probe p;
    CHECK(p.runModal() == kIdCancel);
    CHECK(p.log == std::vector<std::string>{"init", "destroy"});
    CHECK(p.handle() == nullptr);
    CHECK(p.name == "loaded"); // nothing taken back
}

TEST_CASE("OK takes the controls' texts back, Cancel and the close box do not")
{
    FakePlatform fake;
    Answer typeThenOk([](Dialog& d) {
        CHECK(d.itemText(kName) == "loaded");
        CHECK(d.itemText(kBand) == "80"); // "8" selected the first entry beginning with it
        CHECK(d.comboSelection(kBand) == 2);
        d.setItemText(kName, "typed");
        d.setItemText(kBand, "40 hand-typed");
        d.postMessage(kCommand, makeCommand(kIdOk));
    });
    Probe p;
    CHECK(p.runModal() == kIdOk);
    CHECK(p.name == "typed");
    CHECK(p.band == "40 hand-typed");

    Answer typeThenClose([](Dialog& d) {
        d.setItemText(kName, "dropped");
        d.postMessage(kClose);
    });
    Probe q;
    CHECK(q.runModal() == kIdCancel);
    CHECK(q.name == "loaded");
}

TEST_CASE("combo load: first entry by prefix without regard to case, else the edit field")
{
    FakePlatform fake;
    struct Row {
        const char* value;
        const char* shown;
        int selection;
    };
    static const Row rows[] = {
        /* 1 */ {"ALL", "ALL", 0},
        /* 2 */ {"all", "ALL", 0},
        /* 3 */ {"1", "160", 1},
        /* 4 */ {"80", "80", 2},
        /* 5 */ {"", "ALL", 0},       // every entry begins with the empty text
        /* 6 */ {"ALLx", "ALLx", -1}, // longer than every entry
        /* 7 */ {"WITHOUT USING", "WITHOUT USING", -1},
    };
    static const Row* row = nullptr;
    for (const Row& r : rows) {
        CAPTURE(r.value);
        row = &r;
        Answer check([](Dialog& d) {
            CHECK(d.itemText(kBand) == row->shown);
            CHECK(d.comboSelection(kBand) == row->selection);
            CHECK(d.comboCount(kBand) == 3);
            d.postMessage(kCommand, makeCommand(kIdOk));
        });
        Probe p;
        p.band = r.value;
        CHECK(p.runModal() == kIdOk);
        CHECK(p.band == r.shown);
    }
}

TEST_CASE("messages posted and sent from another thread arrive in order on the dialog's")
{
    FakePlatform fake;
    Answer none([](Dialog&) {});
    Probe p;
    std::thread other([&] {
        while (!p.published.load())
            std::this_thread::yield();
        const WindowHandle h = p.published.load();
        CHECK(postMessage(h, kPoke, 1));
        CHECK(postMessage(h, kPoke, 2));
        CHECK(sendMessage(h, kPoke, 3) == 1); // returns once handled, so 1 and 2 came first
        CHECK(sendMessage(h, kClose) == 0);   // no entry: the default turns it into Cancel
        // Gone now (or about to be): posting fails rather than reaching a dead object.
        while (postMessage(h, kPoke, 9))
            std::this_thread::yield();
        CHECK(sendMessage(h, kPoke, 9) == 0);
    });
    CHECK(p.runModal() == kIdCancel);
    other.join();
    const std::vector<std::string> expected{"init", "poke 1", "poke 2", "poke 3", "destroy"};
    CHECK(std::vector<std::string>(p.log.begin(), p.log.begin() + 5) == expected);
    CHECK(std::count(p.log.begin(), p.log.end(), "poke 9") <= 1);
    CHECK_FALSE(postMessage(nullptr, kPoke));
}

TEST_CASE("timers: repeating, one-shot, re-armed and killed")
{
    FakePlatform fake;
    Answer arm([](Dialog& d) {
        d.setTimer(1, 20);                  // repeats
        d.setTimer(2, 30, TimerMode::Once); // fires once
        d.setTimer(3, 40, TimerMode::Once);
        d.setTimer(3, 40, TimerMode::Once); // re-armed: still one tick
        d.setTimer(4, 25);
        d.killTimer(4); // never fires
    });
    Probe p;
    std::thread stopper([&] {
        while (!p.published.load())
            std::this_thread::yield();
        std::this_thread::sleep_for(std::chrono::milliseconds(250));
        postMessage(p.published.load(), kPoke, 0); // ends the dialog with 40
    });
    const auto started = Clock::now();
    CHECK(p.runModal() == 40);
    stopper.join();
    CHECK(Clock::now() - started >= std::chrono::milliseconds(250));
    CHECK(std::count(p.ticks.begin(), p.ticks.end(), 1u) >= 3);
    CHECK(std::count(p.ticks.begin(), p.ticks.end(), 2u) == 1);
    CHECK(std::count(p.ticks.begin(), p.ticks.end(), 3u) == 1);
    CHECK(std::count(p.ticks.begin(), p.ticks.end(), 4u) == 0);
}

namespace {

// Re-arms its one-shot timer 7 whenever asked to by a posted message, as a window whose
// refresh other threads keep postponing.
class Rearming : public Probe {
public:
    std::vector<Clock::time_point> armed, fired;
    static const MessageTable kMessages;

protected:
    const MessageTable& messageTable() const override { return kMessages; }

private:
    Result onRearm(const Message&)
    {
        setTimer(7, 120, TimerMode::Once);
        armed.push_back(Clock::now());
        return 1;
    }
    Result onTick(const Message&)
    {
        fired.push_back(Clock::now());
        return 1;
    }
    static const MessageEntry kEntries[];
};
const MessageEntry Rearming::kEntries[] = {
    onMessage<Rearming, &Rearming::onRearm>(kPrivateFirst + 7),
    onMessage<Rearming, &Rearming::onTick>(kTimer),
};
const MessageTable Rearming::kMessages = makeTable(&Probe::kMessages, Rearming::kEntries);

} // namespace

TEST_CASE("re-arming a one-shot timer before it fires postpones its one tick")
{
    FakePlatform fake;
    Answer arm([](Dialog& d) { d.postMessage(kPrivateFirst + 7); });
    Rearming r;
    std::thread others([&] {
        while (!r.published.load())
            std::this_thread::yield();
        const WindowHandle h = r.published.load();
        for (int i = 0; i < 4; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            postMessage(h, kPrivateFirst + 7);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(400));
        postMessage(h, kPoke, 0); // Probe's entry, reached through the chain
    });
    CHECK(r.runModal() == 40);
    others.join();
    REQUIRE(r.armed.size() == 5);
    REQUIRE(r.fired.size() == 1);
    CHECK(r.fired[0] >= r.armed.back() + std::chrono::milliseconds(120));
}

TEST_CASE("two dialogs run at once on two threads, each with its own loop")
{
    FakePlatform fake;
    Answer none([](Dialog&) {});
    Probe first, second;
    Result secondCode = 0;
    std::thread t([&] { secondCode = second.runModal(); });
    std::thread closer([&] {
        while (!first.published.load() || !second.published.load())
            std::this_thread::yield();
        postMessage(second.published.load(), kPoke, 5);
        postMessage(second.published.load(), kPoke, 0);
        postMessage(first.published.load(), kPoke, 6);
        postMessage(first.published.load(), kClose);
    });
    CHECK(first.runModal() == kIdCancel);
    t.join();
    closer.join();
    CHECK(secondCode == 40);
    CHECK(std::find(first.log.begin(), first.log.end(), "poke 6") != first.log.end());
    CHECK(std::find(first.log.begin(), first.log.end(), "poke 5") == first.log.end());
    CHECK(std::find(second.log.begin(), second.log.end(), "poke 5") != second.log.end());
}

#endif
