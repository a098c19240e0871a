#include "FakePlatform.h"

#include "platform/Dialog.h"
#if !defined(_WIN32)
#include "platform/DialogTestSeam.h"
#endif

#include <atomic>

namespace {

CivilDateTime fakeNow;
std::vector<RecordedBox> recordedBoxes;
bool writesFail = false;
// The monotonic clock: the table's own until held, then heldMs. Read by the dialogs'
// threads, held and moved by the test's.
std::uint64_t (*runningClock)() = nullptr;
std::atomic<bool> clockHeld{false};
std::atomic<std::uint64_t> heldMs{0};

// How long advanceMs waits for a dialog that does not settle: far beyond any handler's
// work, so that only a hung test ever reaches it.
constexpr unsigned kSettleGuardMs = 20000;

CivilDateTime fixedClock() { return fakeNow; }

std::uint64_t monotonicClock() { return clockHeld ? heldMs.load() : runningClock(); }

void recordBox(const char* text, const char* caption, platform::BoxIcon icon, bool)
{
    recordedBoxes.push_back({text ? text : "", caption ? caption : "(default)", icon});
}

bool maybeFailingWrite(const char* file, const char* section, const char* key, const char* value)
{
    if (writesFail)
        return false;
    return platform::defaultOps().profileWrite(file, section, key, value);
}

bool dialogsSettled()
{
#if defined(_WIN32)
    return true;
#else
    return platform::dialog::headless::waitUntilIdle(kSettleGuardMs);
#endif
}

} // namespace

FakePlatform::FakePlatform() : saved_(platform::ops())
{
    recordedBoxes.clear();
    writesFail = false;
    setUtc(12, 0);
    platform::ops().utcNow = fixedClock;
    platform::ops().messageBox = recordBox;
    platform::ops().profileWrite = maybeFailingWrite;
    if (saved_.monotonicMs != monotonicClock) // not inside another FakePlatform
        runningClock = saved_.monotonicMs;
    clockHeld = false;
    platform::ops().monotonicMs = monotonicClock;
}

FakePlatform::~FakePlatform() { platform::ops() = saved_; }

void FakePlatform::setUtc(int hour, int minute, int year, int month, int day)
{
    fakeNow = CivilDateTime{year, month, day, hour, minute, 0};
}

std::vector<RecordedBox>& FakePlatform::boxes() { return recordedBoxes; }

void FakePlatform::failSettingsWrites(bool fail) { writesFail = fail; }

void FakePlatform::holdClock()
{
    if (!clockHeld) {
        heldMs = runningClock();
        clockHeld = true;
    }
}

bool FakePlatform::advanceMs(unsigned ms)
{
    holdClock();
    const bool before = dialogsSettled();
    heldMs += ms;
#if !defined(_WIN32)
    platform::dialog::headless::clockMoved();
#endif
    return dialogsSettled() && before;
}

std::uint64_t FakePlatform::clockMs() { return platform::ops().monotonicMs(); }
