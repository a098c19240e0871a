// The headless dialog backend: the modal loop, the answer entry of the platform table,
// data exchange on its plain-data controls, messages from other threads, and timers on a
// monotonic clock that the tests hold and move. (The Win32 backend runs the same dialog
// classes under Wine in the win32/ folders of tests/.)
#if !defined(_WIN32)

#include "FakePlatform.h"
#include "platform/Dialog.h"
#include "platform/DialogTestSeam.h"

#include <doctest/doctest.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

using namespace platform::dialog;

namespace {

constexpr int kName = 1007;
constexpr int kBand = 1014;
constexpr unsigned kPoke = kPrivateFirst + 3;

// A dialog with two bound fields, a private message and timer bookkeeping. Its timers
// 2, 3, 5, 7 and 8 are one-shots: their handler kills them, as the multiplier window's
// refresh does.
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
        return {{kBand, "ALL"}, {kBand, "160"}, {kBand, "80"}};
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
        const unsigned id = static_cast<unsigned>(m.wParam);
        ticks.push_back(id);
        if (id == 2 || id == 3 || id == 5 || id == 7 || id == 8)
            killTimer(id);
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
        CHECK(headless::selectedEntry(d.handle(), kBand) == 2);
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
            CHECK(headless::selectedEntry(d.handle(), kBand) == row->selection);
            CHECK(d.comboCount(kBand) == 3);
            CHECK(headless::listEntries(d.handle(), kBand) == std::vector<std::string>{"ALL", "160", "80"});
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

namespace {

WindowHandle waitUntilUp(const std::atomic<WindowHandle>& published)
{
    while (!published.load())
        std::this_thread::yield();
    return published.load();
}

} // namespace

TEST_CASE("timers on the held clock: repeating, one-shot, re-armed and killed")
{
    FakePlatform fake;
    FakePlatform::holdClock();
    Answer arm([](Dialog& d) {
        d.setTimer(1, 20); // repeats
        d.setTimer(2, 30); // one-shot
        d.setTimer(3, 40);
        d.setTimer(3, 40); // re-armed: one timer still
        d.setTimer(4, 25);
        d.killTimer(4);    // never fires
        d.setTimer(5, 5);  // held to the 10 ms minimum
    });
    Probe p;
    std::thread driver([&] {
        const WindowHandle h = waitUntilUp(p.published);
        struct Step {
            unsigned advance;
            std::vector<unsigned> ticks; // all so far, in order
        };
        const Step steps[] = {
            /* 1 */ {9, {}},
            /* 2 */ {1, {5}},
            /* 3 */ {10, {5, 1}},
            /* 4 */ {10, {5, 1, 2}},
            /* 5 */ {10, {5, 1, 2, 1, 3}}, // both due: the one armed first ticks first
            /* 6 */ {20, {5, 1, 2, 1, 3, 1}},
            // Fallen due many times over: one tick, and the period counts from it.
            /* 7 */ {1000, {5, 1, 2, 1, 3, 1, 1}},
            /* 8 */ {19, {5, 1, 2, 1, 3, 1, 1}},
            /* 9 */ {1, {5, 1, 2, 1, 3, 1, 1, 1}},
        };
        int row = 0;
        for (const Step& step : steps) {
            CAPTURE(++row);
            REQUIRE(FakePlatform::advanceMs(step.advance));
            CHECK(p.ticks == step.ticks); // handled before advanceMs returned
        }
        postMessage(h, kPoke, 0); // ends the dialog with 40
    });
    CHECK(p.runModal() == 40);
    driver.join();
}

TEST_CASE("a held clock's move wakes a loop that waits for a distant timer")
{
    FakePlatform fake;
    FakePlatform::holdClock();
    // An hour away: a loop that noticed the move only when its own wait ended would keep
    // advanceMs waiting past its guard.
    Answer arm([](Dialog& d) { d.setTimer(8, 3600 * 1000); });
    Probe p;
    std::thread driver([&] {
        const WindowHandle h = waitUntilUp(p.published);
        REQUIRE(FakePlatform::advanceMs(3600 * 1000 - 1));
        CHECK(p.ticks.empty());
        REQUIRE(FakePlatform::advanceMs(1));
        CHECK(p.ticks == std::vector<unsigned>{8});
        postMessage(h, kPoke, 0);
    });
    CHECK(p.runModal() == 40);
    driver.join();
}

namespace {

// Re-arms its one-shot timer 7 whenever asked to by a posted message, as a window whose
// refresh other threads keep postponing. Times on the platform's monotonic clock.
class Rearming : public Probe {
public:
    std::vector<std::uint64_t> armed, fired;
    static const MessageTable kMessages;

protected:
    const MessageTable& messageTable() const override { return kMessages; }

private:
    Result onRearm(const Message&)
    {
        setTimer(7, 120);
        armed.push_back(FakePlatform::clockMs());
        return 1;
    }
    Result onTick(const Message&)
    {
        killTimer(7);
        fired.push_back(FakePlatform::clockMs());
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
    FakePlatform::holdClock();
    Answer arm([](Dialog& d) { d.postMessage(kPrivateFirst + 7); });
    Rearming r;
    std::thread others([&] {
        const WindowHandle h = waitUntilUp(r.published);
        for (int i = 0; i < 4; ++i) {
            REQUIRE(FakePlatform::advanceMs(50));
            postMessage(h, kPrivateFirst + 7); // handled before the clock moves again
        }
        REQUIRE(FakePlatform::advanceMs(119));
        CHECK(r.fired.empty());
        REQUIRE(FakePlatform::advanceMs(1));
        CHECK(r.fired.size() == 1);
        REQUIRE(FakePlatform::advanceMs(400));
        postMessage(h, kPoke, 0); // Probe's entry, reached through the chain
    });
    CHECK(r.runModal() == 40);
    others.join();
    REQUIRE(r.armed.size() == 5);
    CHECK(r.armed.back() == r.armed.front() + 200);
    REQUIRE(r.fired.size() == 1);
    CHECK(r.fired[0] == r.armed.back() + 120);
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
