#pragma once
// Swaps entries of the platform table for the length of one test: a clock the test
// sets, message boxes recorded instead of shown. Everything is put back afterwards.

#include "platform/Platform.h"

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

private:
    platform::Ops saved_;
};
