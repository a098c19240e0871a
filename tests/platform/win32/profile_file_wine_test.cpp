// Holds the portable profile reader to the system's own, byte for byte.
//
// Left out on purpose, because the system reader (as Wine implements it) differs:
// - a quoted value or default read into a buffer exactly one byte longer than the text
//   between the quotes comes back one byte short ("abc" into 4 bytes gives "ab");
//   ours copies size-1 bytes as for any other value. Rows note that size as wineShort.
// - comment lines are keys there: key ";k" finds the line ";k=c". Ours skips comments.
// - keys above the first section header belong to section "" there; ours ignores them.
// - a default of spaces only keeps one space there; ours gives the empty text.
// - a lone CR ends a line there, and 0x1A counts as a blank; ours knows LF and CR LF,
//   spaces and tabs only.
// - a null section or key lists names there; ours gives the default.

#include "platform/Platform.h"
#include "platform/profile/ProfileFile.h"

#include "TempDir.h"

#include <doctest/doctest.h>

#include <windows.h>

#include <string>
#include <vector>

namespace {

// Both readers into '#'-filled buffers one byte longer than size; every byte must match.
void compareRead(const std::string& file, const char* section, const char* key,
                 const char* def, std::size_t size)
{
    std::vector<char> ours(size + 1, '#');
    std::vector<char> theirs(size + 1, '#');
    const std::size_t n = platform::profile::read(file.c_str(), section, key, def, ours.data(), size);
    const std::size_t m = platform::defaultOps().profileRead(file.c_str(), section, key, def,
                                                             theirs.data(), size);
    CHECK(n == m);
    CHECK(std::string(ours.begin(), ours.end()) == std::string(theirs.begin(), theirs.end()));
}

} // namespace

TEST_CASE("profile reader matches the system reader")
{
    struct Case {
        const char* text; // null: no file
        const char* section;
        const char* key;
        const char* def;
        std::size_t wineShort; // see the top of the file; 0: none
    };
    const Case cases[] = {
        /* 1 */ {"[s]\nk=abcdef\n", "s", "k", "D", 0},
        /* 2 */ {"[s]\nk = \"quoted\" \n", "s", "k", "D", 7},
        /* 3 */ {"[s]\nk='q'\n", "s", "k", "D", 2},
        /* 4 */ {"[s]\nk=\"q'\n", "s", "k", "D", 0},
        /* 5 */ {"[s]\nk=\"\n", "s", "k", "D", 0},
        /* 6 */ {"[s]\nk=\"\"\n", "s", "k", "D", 1},
        /* 7 */ {"[s]\nk=\"a\"b\"\n", "s", "k", "D", 4},
        /* 8 */ {"[s]\nk=\" a \"\n", "s", "k", "D", 4},
        /* 9 */ {"[s]\n\t k\t=\t v\tv \t\n", "s", "k", "D", 0},
        /* 10 */ {"  [ S x ]  \nk=v\n", "s x", "k", "D", 0},
        /* 11 */ {"[Sec]\nKEY=v\n", "sEC", "key", "D", 0},
        /* 12 */ {"[s]\nk=first\nK=second\n", "s", "k", "D", 0},
        /* 13 */ {"[s]\nk=1\n[S]\nj=2\n", "s", "j", "D", 0},
        /* 14 */ {"[s]\nk=\n", "s", "k", "D", 0},
        /* 15 */ {"[s]\nk=   \n", "s", "k", "D", 0},
        /* 16 */ {"[s]\nk\n", "s", "k", "D", 0},
        /* 17 */ {"[s]\nj=1\n", "s", "k", "Default", 0},
        /* 18 */ {"[t]\nk=1\n", "s", "k", "Default", 0},
        /* 19 */ {"[s]\nj=1\n", "s", "k", nullptr, 0},
        /* 20 */ {"[s]\nj=1\n", "s", "k", "", 0},
        /* 21 */ {"[s]\nj=1\n", "s", "k", "trail  ", 0},
        /* 22 */ {"[s]\nj=1\n", "s", "k", "  lead", 0},
        /* 23 */ {"[s]\nj=1\n", "s", "k", "\"Dq\" ", 3},
        /* 24 */ {"[s]\nj=1\n", "s", "k", "\t\tx\t", 0},
        /* 25 */ {"[s]\r\nk=crlf \r\n", "s", "k", "D", 0},
        /* 26 */ {"[s]\r\n;c\r\nk= \"q\" \r\n[t]\r\nk=2\r\n", "s", "k", "D", 2},
        /* 27 */ {"[s]\r\n;c\r\nk= 1 \r\n[t]\r\nk=2\r\n", "t", "k", "D", 0},
        /* 28 */ {"[s]\n;k=c\nk=v\n", "s", "k", "D", 0},
        /* 29 */ {"[s]\n;k=c\n", "s", "k", "D", 0},
        /* 30 */ {"[s] ; note\nk=v\n", "s", "k", "D", 0},
        /* 31 */ {"[a]\n[s\nk=v\n", "a", "k", "D", 0},
        /* 32 */ {"[a]\n[s\nk=v\n", "s", "k", "D", 0},
        /* 33 */ {"[a]b]\nk=v\n", "a]b", "k", "D", 0},
        /* 34 */ {"[s]\nk=v=w ;c\n", "s", "k", "D", 0},
        /* 35 */ {"[s]\nk=v\n", " s\t", " k ", "D", 0},
        /* 36 */ {"\xEF\xBB\xBF[s]\nk=bom\n", "s", "k", "D", 0},
        /* 37 */ {"[s]\nk=last", "s", "k", "D", 0},
        /* 38 */ {"[s]\na  b=1\n", "s", "a b", "D", 0},
        /* 39 */ {"[s]\n\n\n[t]\nk=v\n", "t", "k", "D", 0},
        /* 40 */ {nullptr, "s", "k", "nofile", 0},
    };
    const std::size_t sizes[] = {1, 2, 5, 64};
    TempDir dir(false);
    int number = 0;
    for (const Case& c : cases) {
        ++number;
        // One file per row, as the system reader caches files by name. The backslash
        // keeps it from looking in the Windows folder instead of the current one.
        const std::string file = ".\\t" + std::to_string(number) + ".ini";
        if (c.text)
            writeFileBytes(file.substr(2), c.text);
        for (std::size_t size : sizes) {
            if (size == c.wineShort)
                continue;
            CAPTURE(number);
            CAPTURE(size);
            compareRead(file, c.section, c.key, c.def, size);
        }
    }
}

TEST_CASE("profile files written here read the same through the system reader")
{
    TempDir dir(false);
    const std::string fresh = ".\\fresh.ini";
    const std::string crlf = ".\\crlf.ini";
    writeFileBytes("crlf.ini", "; keep\r\n[a]\r\nx= old \r\n\r\n[b]\r\ny=1");

    namespace profile = platform::profile;
    REQUIRE(profile::write(fresh.c_str(), "Main", "Call", "N0CALL"));
    REQUIRE(profile::write(fresh.c_str(), "main", "Zone", "14"));
    REQUIRE(profile::write(fresh.c_str(), "Other", "Path", "C:\\logs\\x.log"));
    REQUIRE(profile::write(fresh.c_str(), "MAIN", "call", "\"AB1CD\""));
    REQUIRE(profile::write(crlf.c_str(), "a", "x", "new"));
    REQUIRE(profile::write(crlf.c_str(), "a", "z", "3"));
    REQUIRE(profile::write(crlf.c_str(), "b", "w", "4"));
    REQUIRE(profile::write(crlf.c_str(), "c", "v", "5"));

    const struct {
        const std::string& file;
        const char* section;
        const char* key;
    } reads[] = {
        {fresh, "main", "call"}, {fresh, "main", "zone"}, {fresh, "other", "path"},
        {crlf, "a", "x"},        {crlf, "a", "z"},        {crlf, "b", "y"},
        {crlf, "b", "w"},        {crlf, "c", "v"},
    };
    for (const auto& r : reads) {
        CAPTURE(r.key);
        compareRead(r.file, r.section, r.key, "missing", 64);
    }
}

TEST_CASE("a read-only profile file keeps every byte")
{
    // On Windows the read-only attribute refuses the system's writer to every user, and
    // ours as well. The system's writer is not held to it here: Wine keeps the attribute
    // as the Unix mode, which a Wine run as root (as in CI) writes through.
    TempDir dir(false);
    const std::string before = "[s]\r\nk=old\r\n";
    writeFileBytes("ro.ini", before);
    REQUIRE(SetFileAttributesA("ro.ini", FILE_ATTRIBUTE_READONLY));
    namespace profile = platform::profile;
    CHECK_FALSE(profile::write(".\\ro.ini", "s", "k", "new"));
    CHECK_FALSE(profile::write(".\\ro.ini", "s", "j", "added"));
    CHECK_FALSE(profile::write(".\\ro.ini", "s", "k", nullptr));
    CHECK(readFileBytes("ro.ini") == before);
    CHECK((GetFileAttributesA("ro.ini") & FILE_ATTRIBUTE_READONLY) != 0);
    CHECK(GetFileAttributesA("ro.ini.tmp") == INVALID_FILE_ATTRIBUTES);
    SetFileAttributesA("ro.ini", FILE_ATTRIBUTE_NORMAL); // so the folder can go
}
