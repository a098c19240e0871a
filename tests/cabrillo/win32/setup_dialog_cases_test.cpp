// The setupHeader cases of tests/cabrillo/, run here against the real template 101 under
// Wine: the core linked into this program takes its templates from Stats.dll.
#include "platform/win32/ModuleHandle.h"

#include <doctest/doctest.h>

#include <cstdlib>

namespace {

struct SetupCaseFixture {
    SetupCaseFixture()
    {
        const char* path = std::getenv("KORVANE_PLUGIN");
        dll = path ? LoadLibraryA(path) : nullptr;
        REQUIRE_MESSAGE(dll != nullptr, "Stats.dll (KORVANE_PLUGIN) must load");
        platform::win32::setModuleHandle(dll);
    }
    ~SetupCaseFixture()
    {
        platform::win32::setModuleHandle(nullptr);
        FreeLibrary(dll);
    }
    HMODULE dll = nullptr;
};

} // namespace

#include "../cabrillo_setup_cases.h"
