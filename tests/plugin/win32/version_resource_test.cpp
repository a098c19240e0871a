// Stats.dll's version resource, read back the way Explorer's file properties read it.
#include <windows.h>
#include <winver.h>

#include <doctest/doctest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

std::string stringValue(const std::vector<char>& info, const char* block, const char* name)
{
    const std::string path = std::string("\\StringFileInfo\\") + block + "\\" + name;
    char* text = nullptr;
    UINT length = 0;
    if (!VerQueryValueA(info.data(), path.c_str(), reinterpret_cast<void**>(&text), &length) ||
        !text)
        return "<missing>";
    return std::string(text, length > 0 ? length - 1 : 0); // the count includes the NUL
}

} // namespace

TEST_CASE("Stats.dll carries file and product version, description and names")
{
    const char* path = std::getenv("KORVANE_PLUGIN");
    REQUIRE(path);
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeA(path, &ignored);
    REQUIRE_MESSAGE(size > 0, "no version resource in ", path);
    std::vector<char> info(size);
    REQUIRE(GetFileVersionInfoA(path, 0, size, info.data()));

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    REQUIRE(VerQueryValueA(info.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
    REQUIRE(length >= sizeof(VS_FIXEDFILEINFO));
    CHECK(fixed->dwSignature == 0xFEEF04BDu);
    CHECK(fixed->dwFileType == static_cast<DWORD>(VFT_DLL));
    unsigned major = 0, minor = 0, patch = 0;
    std::sscanf(KORVANE_PROJECT_VERSION, "%u.%u.%u", &major, &minor, &patch);
    CHECK(HIWORD(fixed->dwFileVersionMS) == major);
    CHECK(LOWORD(fixed->dwFileVersionMS) == minor);
    CHECK(HIWORD(fixed->dwFileVersionLS) == patch);
    CHECK(fixed->dwProductVersionMS == fixed->dwFileVersionMS);

    struct Translation {
        WORD language, codePage;
    }* translation = nullptr;
    REQUIRE(VerQueryValueA(info.data(), "\\VarFileInfo\\Translation",
                           reinterpret_cast<void**>(&translation), &length));
    REQUIRE(length >= sizeof(Translation));
    char block[9];
    std::snprintf(block, sizeof block, "%04x%04x", translation->language, translation->codePage);

    const std::string dotted = std::to_string(major) + "." + std::to_string(minor) + "." +
                               std::to_string(patch) + ".0";
    CHECK(stringValue(info, block, "FileVersion") == dotted);
    CHECK(stringValue(info, block, "ProductVersion") == KORVANE_PROJECT_VERSION);
    CHECK(stringValue(info, block, "FileDescription") == "KORVANE contest statistics plug-in");
    CHECK(stringValue(info, block, "ProductName") == "korvane-stats");
    CHECK(stringValue(info, block, "OriginalFilename") == "Stats.dll");
}
