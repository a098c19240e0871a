#include "TempDir.h"
#include "platform/SettingsFile.h"

#include <doctest/doctest.h>

#include <climits>

TEST_CASE("settings values read as decimal numbers the way atoi reads them")
{
    struct Case {
        const char* text;
        int value;
    };
    const Case cases[] = {
        {"", 0}, {"0", 0}, {"1", 1}, {"2", 2}, {"  17x", 17}, {"\t-5", -5}, {"+8", 8},
        {"abc", 0}, {"- 3", 0}, {"-1200", -1200}, {"99999999999999", INT_MAX},
        {"-99999999999999", INT_MIN}, {"2147483647", INT_MAX}, {"-2147483648", INT_MIN},
    };
    for (const Case& c : cases) {
        CAPTURE(c.text);
        CHECK(settings::parseDecimal(c.text) == c.value);
    }
}

TEST_CASE("settings live in Plugins/MOLTA.ini under the current directory")
{
    TempDir dir;
    CHECK(settings::read("Name", "default", 100) == "default");
    CHECK(settings::write("Name", "Ivan"));
    CHECK(settings::read("Name", "default", 100) == "Ivan");
    CHECK(settings::read("Name", "default", 3) == "Iv");
    CHECK(readFileBytes(dir.settingsPath()).find("Name=Ivan") != std::string::npos);
}
