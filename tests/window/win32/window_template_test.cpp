// The multiplier window's template as Stats.dll carries it, read field by field: the
// dialog manager builds the window and picks its font from exactly these bytes.
#include "../../plugin/exports/PluginUnderTest.h"
#include "resources/MultiplierWindowIds.h"

#include <windows.h>

#include <doctest/doctest.h>

#include <cstring>
#include <string>

namespace {

// A DLGTEMPLATEEX header up to the font's face name.
struct TemplateHeader {
    DWORD style = 0, exStyle = 0;
    WORD items = 0;
    short cx = 0, cy = 0;
    std::string caption;
    WORD pointSize = 0, weight = 0;
    BYTE italic = 0, charset = 0;
    std::string face;
};

class Reader {
public:
    explicit Reader(const BYTE* at) : at_(at) {}
    template <typename T>
    T next()
    {
        T value;
        std::memcpy(&value, at_, sizeof value);
        at_ += sizeof value;
        return value;
    }
    // A menu or class: none, an ordinal or a name.
    void skipNameOrOrdinal()
    {
        const WORD first = next<WORD>();
        if (first == 0xFFFF)
            next<WORD>();
        else if (first != 0)
            text();
    }
    // A NUL-terminated UTF-16 text, kept where it is ASCII.
    std::string text()
    {
        std::string out;
        for (WORD c = next<WORD>(); c != 0; c = next<WORD>())
            out += c < 0x80 ? static_cast<char>(c) : '?';
        return out;
    }

private:
    const BYTE* at_;
};

bool readTemplate(HMODULE module, int id, TemplateHeader& t)
{
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(5)); // RT_DIALOG
    HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    const BYTE* data = loaded ? static_cast<const BYTE*>(LockResource(loaded)) : nullptr;
    if (!data)
        return false;
    Reader r(data);
    if (r.next<WORD>() != 1 || r.next<WORD>() != 0xFFFF) // version 1 of DIALOGEX
        return false;
    r.next<DWORD>(); // help id
    t.exStyle = r.next<DWORD>();
    t.style = r.next<DWORD>();
    t.items = r.next<WORD>();
    r.next<short>();
    r.next<short>();
    t.cx = r.next<short>();
    t.cy = r.next<short>();
    r.skipNameOrOrdinal(); // menu
    r.skipNameOrOrdinal(); // class
    t.caption = r.text();
    t.pointSize = r.next<WORD>();
    t.weight = r.next<WORD>();
    t.italic = r.next<BYTE>();
    t.charset = r.next<BYTE>();
    t.face = r.text();
    return true;
}

} // namespace

TEST_CASE("template 104: caption, size, style and a Fixedsys font in the default character set")
{
    HMODULE plugin = LoadLibraryExA(pluginPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    REQUIRE(plugin != nullptr);
    TemplateHeader t;
    REQUIRE(readTemplate(plugin, IDD_MULTIPLIER_WINDOW, t));
    FreeLibrary(plugin);

    CHECK(t.caption == "Korvane Multiplier");
    CHECK(t.style == 0x80CC0040u);
    CHECK(t.exStyle == 0u);
    CHECK(t.items == 1);
    CHECK(t.cx == 165);
    CHECK(t.cy == 95);
    CHECK(t.face == "Fixedsys");
    CHECK(t.pointSize == 9);
    CHECK(t.weight == 0);
    CHECK(t.italic == 0);
    CHECK(t.charset == DEFAULT_CHARSET);
}
