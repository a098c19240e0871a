#include "FakePlatform.h"

namespace {

CivilDateTime fakeNow;
std::vector<RecordedBox> recordedBoxes;
bool writesFail = false;

CivilDateTime fixedClock() { return fakeNow; }

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

} // namespace

FakePlatform::FakePlatform() : saved_(platform::ops())
{
    recordedBoxes.clear();
    writesFail = false;
    setUtc(12, 0);
    platform::ops().utcNow = fixedClock;
    platform::ops().messageBox = recordBox;
    platform::ops().profileWrite = maybeFailingWrite;
}

FakePlatform::~FakePlatform() { platform::ops() = saved_; }

void FakePlatform::setUtc(int hour, int minute, int year, int month, int day)
{
    fakeNow = CivilDateTime{year, month, day, hour, minute, 0};
}

std::vector<RecordedBox>& FakePlatform::boxes() { return recordedBoxes; }

void FakePlatform::failSettingsWrites(bool fail) { writesFail = fail; }
