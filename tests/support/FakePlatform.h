#pragma once
// Swaps entries of the platform table for the length of one test: a UTC clock the test
// sets, message boxes recorded instead of shown, settings writes that can be made to fail,
// and on request a monotonic clock that moves only when the test moves it. Everything is
// put back afterwards.
//
// Timers without sleeping. The headless dialogs' timers (Dialog::setTimer) count on the
// platform's monotonic clock. A test holds that clock, then moves it past a timer's
// period, and once the move returns the timer's tick has been handled on the dialog's
// own thread:
//
//     FakePlatform fake;
//     FakePlatform::holdClock();          // before the dialog arms its timers
//     ... start the dialog; wait until it is up ...
//     REQUIRE(FakePlatform::advanceMs(400)); // ticks due within 400 ms have been handled
//     CHECK(...what the tick did...);
//
// advanceMs (natively) first waits until every headless dialog has handled what was
// already posted or sent to it, so that a timer armed by such a message counts from
// before the move; then moves the clock; then waits until every dialog has handled the
// ticks that fell due and whatever those handlers posted to themselves. A repeating timer
// that fell due several times over ticks once, as on Windows: to see n ticks, move the
// clock n times by the period. Call it from a thread other than the dialogs' own.
// On Windows the clock moves the same way, but the system's timers do not follow it.

#include "platform/Platform.h"

#include <cstdint>
#include <string>
#include <vector>

struct RecordedBox {
    std::string text;
    std::string caption; // "(default)" when the plug-in passed none
    platform::BoxIcon icon;
};

class FakePlatform {
public:
    FakePlatform();
    ~FakePlatform();
    FakePlatform(const FakePlatform&) = delete;
    FakePlatform& operator=(const FakePlatform&) = delete;

    static void setUtc(int hour, int minute, int year = 2026, int month = 12, int day = 7);
    static std::vector<RecordedBox>& boxes();
    // Makes every settings write fail, as with a read-only file.
    static void failSettingsWrites(bool fail);

    // Stops the monotonic clock where it stands; until then it runs as the system's.
    static void holdClock();
    // Moves the clock forward by ms (see above), holding it first if need be. False when a
    // dialog was still busy after many seconds, which only a hung test would see.
    static bool advanceMs(unsigned ms);
    // The clock as the platform reads it now.
    static std::uint64_t clockMs();

private:
    platform::Ops saved_;
};
