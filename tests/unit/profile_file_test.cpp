#include "platform/posix/ProfileFile.h"

#include "TempDir.h"

#include <doctest/doctest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>
#if !defined(_WIN32)
#include <thread>
#endif

namespace fs = std::filesystem;
namespace profile = platform::profile;

namespace {

std::string get(const std::string& file, const char* section, const char* key,
                const char* def = "DEF")
{
    std::vector<char> buf(256, '#');
    const std::size_t n = profile::read(file.c_str(), section, key, def, buf.data(), buf.size());
    return std::string(buf.data(), n);
}

} // namespace

TEST_CASE("profile read rules")
{
    struct Case {
        const char* text;
        const char* section;
        const char* key;
        const char* def;
        std::size_t size;
        const char* expected;
    };
    const Case cases[] = {
        /* 1 */ {"[s]\nk=v\n", "s", "k", "D", 64, "v"},
        /* 2 */ {"[s]\nk = \"quoted\" \n", "s", "k", "D", 64, "quoted"},
        /* 3 */ {"[s]\nk='q'\n", "s", "k", "D", 64, "q"},
        /* 4 */ {"[s]\nk=\"q'\n", "s", "k", "D", 64, "\"q'"},
        /* 5 */ {"[s]\nk=\"\n", "s", "k", "D", 64, "\""},
        /* 6 */ {"[s]\nk=\"\"\n", "s", "k", "D", 64, ""},
        /* 7 */ {"[s]\n\t k\t=\t v v \t\n", "s", "k", "D", 64, "v v"},
        /* 8 */ {" \t[ Main Sec ]\t\nk=v\n", "main sec", "k", "D", 64, "v"},
        /* 9 */ {"[S]\nKey=v\n", "s", "kEY", "D", 64, "v"},
        /* 10 */ {"[s]\nk=1\nk=2\n", "s", "k", "D", 64, "1"},
        /* 11 */ {"[s]\nk=1\n[S]\nj=2\n", "s", "j", "D", 64, "D"},
        /* 12 */ {"[s]\nk=\n", "s", "k", "D", 64, ""},
        /* 13 */ {"[s]\nk=  \n", "s", "k", "D", 64, ""},
        /* 14 */ {"[s]\nj=1\n", "s", "k", "D", 64, "D"},
        /* 15 */ {"[t]\nk=1\n", "s", "k", "D", 64, "D"},
        /* 16 */ {"[s]\nj=1\n", "s", "k", nullptr, 64, ""},
        /* 17 */ {"[s]\r\nk=v \r\n[t]\r\nk=w\r\n", "t", "k", "D", 64, "w"},
        /* 18 */ {"[s]\n;k=c\nk=v\n", "s", "k", "D", 64, "v"},
        /* 19 */ {"[s]\n  ;k=c\n", "s", "k", "D", 64, "D"},
        /* 20 */ {"[s]\nk\n", "s", "k", "D", 64, "D"},
        /* 21 */ {"[s]\nk=a=b ;c\n", "s", "k", "D", 64, "a=b ;c"},
        /* 22 */ {"\xEF\xBB\xBF[s]\nk=v\n", "s", "k", "D", 64, "v"},
        /* 23 */ {"[s]\nk=v", "s", "k", "D", 64, "v"},
        /* 24 */ {"[s]\n", "s", "k", "'D'  ", 64, "D"},
        /* 25 */ {"[s]\n", "s", "k", "\tD\t", 64, "\tD\t"},
        /* 26 */ {"[s]\nk=abcdef\n", "s", "k", "D", 1, ""},
        /* 27 */ {"[s]\nk=abcdef\n", "s", "k", "D", 2, "a"},
        /* 28 */ {"[s]\nk=abcdef\n", "s", "k", "D", 5, "abcd"},
        /* 29 */ {"[s]\nk=\"abc\"\n", "s", "k", "D", 2, "a"},
        /* 30 */ {"[s]\nk=\"abc\"\n", "s", "k", "D", 4, "abc"},
        /* 31 */ {"[s]\n", "s", "k", "abcdef", 3, "ab"},
        /* 32 */ {"[s] ; note\nk=v\n", " s\t", " k ", "D", 64, "v"},
        /* 33 */ {"[a]\n[s\nk=v\n", "a", "k", "D", 64, "v"},
        /* 34 */ {"[a]b]\nk=v\n", "a]b", "k", "D", 64, "v"},
    };
    TempDir dir(false);
    int number = 0;
    for (const Case& c : cases) {
        ++number;
        CAPTURE(number);
        const std::string file = "r" + std::to_string(number) + ".ini";
        writeFileBytes(file, c.text);
        std::vector<char> buf(c.size + 1, '#');
        const std::size_t n = profile::read(file.c_str(), c.section, c.key, c.def, buf.data(), c.size);
        CHECK(std::string(buf.data()) == c.expected);
        CHECK(n == std::string(c.expected).size());
    }
}

TEST_CASE("profile read without a usable file or arguments gives the default")
{
    TempDir dir(false);
    const std::string file = "a.ini";
    writeFileBytes(file, "[s]\nk=v\n");
    fs::create_directory("sub");
    writeFileBytes("sub/b.ini", "[s]\nk=sub\n");

    CHECK(get("sub\\b.ini", "s", "k") == "sub");
    CHECK(get("missing.ini", "s", "k") == "DEF");
    CHECK(get("sub", "s", "k") == "DEF"); // a folder
    CHECK(get(file, nullptr, "k") == "DEF");
    CHECK(get(file, "s", nullptr) == "DEF");

    char buf[4] = {'#', '#', '#', '#'};
    CHECK(profile::read(nullptr, "s", "k", "DEF", buf, sizeof buf) == 3);
    CHECK(profile::read(file.c_str(), "s", "k", "DEF", nullptr, 10) == 0);
    buf[0] = '#';
    CHECK(profile::read(file.c_str(), "s", "k", "DEF", buf, 0) == 0);
    CHECK(buf[0] == '#');
}

TEST_CASE("profile write edits one line and keeps the rest")
{
    struct Case {
        const char* before; // null: no file
        const char* section;
        const char* key;
        const char* value;
        const char* after;
    };
    const Case cases[] = {
        /* 1 */ {"; top\r\n[a]\r\nx=1\r\n\r\n[s]\r\nk=old\r\n;c\r\n[t]\r\nk=3\r\n", "S", "K", "new",
                 "; top\r\n[a]\r\nx=1\r\n\r\n[s]\r\nk=new\r\n;c\r\n[t]\r\nk=3\r\n"},
        /* 2 */ {"[s]\n  Key = \"old\"  \nk=2\n", "s", "key", "v", "[s]\n  Key = v\nk=2\n"},
        /* 3 */ {"[s]\nk=1\nk=2\n", "s", "k", "v", "[s]\nk=v\nk=2\n"},
        /* 4 */ {"[s]\na=1\n\n; about t\n[t]\n", "s", "b", "2", "[s]\na=1\nb=2\n\n; about t\n[t]\n"},
        /* 5 */ {"[s]", "s", "k", "v", "[s]\nk=v\n"},
        /* 6 */ {"[a]\r\nx=1", " new ", " k ", "v", "[a]\r\nx=1\r\n[new]\r\nk=v\r\n"},
        /* 7 */ {nullptr, "s", "k", "", "[s]\nk=\n"},
        /* 8 */ {"[s]\nk=1\nj=2\n", "s", "k", nullptr, "[s]\nj=2\n"},
        /* 9 */ {"[a]\nx=1\n[s]\nk=1\n;c\n[t]\ny=2\n", "s", nullptr, nullptr, "[a]\nx=1\n[t]\ny=2\n"},
        /* 10 */ {"[s]\nk=1\n", "s", "j", nullptr, "[s]\nk=1\n"},
    };
    TempDir dir(false);
    int number = 0;
    for (const Case& c : cases) {
        ++number;
        CAPTURE(number);
        const std::string file = "w" + std::to_string(number) + ".ini";
        if (c.before)
            writeFileBytes(file, c.before);
        CHECK(profile::write(file.c_str(), c.section, c.key, c.value));
        std::string after = c.after;
#if defined(_WIN32)
        if (!c.before || !std::strchr(c.before, '\n')) // no line ending to copy: CR LF
            for (std::size_t at = after.find('\n'); at != std::string::npos;
                 at = after.find('\n', at + 2))
                after.insert(at, 1, '\r');
#endif
        CHECK(readFileBytes(file) == after);
    }
    CHECK(!fs::exists("w7.ini.tmp"));
}

TEST_CASE("profile write failures change nothing")
{
    TempDir dir(false);
    CHECK_FALSE(profile::write("nodir\\x.ini", "s", "k", "v"));
    CHECK(fs::is_empty(dir.path()));

    const std::string file = "a.ini";
    writeFileBytes(file, "[s]\nk=1\n");
    CHECK_FALSE(profile::write(file.c_str(), "s", "k", "two\nlines"));
    fs::create_directory(file + ".tmp"); // the temporary file cannot be created
    CHECK_FALSE(profile::write(file.c_str(), "s", "k", "2"));
    CHECK(readFileBytes(file) == "[s]\nk=1\n");
    fs::create_directory("sub");
    CHECK_FALSE(profile::write("sub", "s", "k", "v")); // a folder
    CHECK_FALSE(profile::write(file.c_str(), nullptr, "k", "v"));
}

TEST_CASE("profile megabyte value round trip")
{
    TempDir dir(false);
    const std::string file = "big.ini";
    std::string big(1 << 20, 'x');
    big[12345] = 'y';
    REQUIRE(profile::write(file.c_str(), "s", "big", big.c_str()));
    REQUIRE(profile::write(file.c_str(), "s", "small", "1"));
    std::vector<char> buf(big.size() + 1);
    CHECK(profile::read(file.c_str(), "s", "big", "", buf.data(), buf.size()) == big.size());
    CHECK(std::string(buf.data()) == big);
    CHECK(get(file, "s", "small") == "1");
}

#if !defined(_WIN32)
TEST_CASE("profile writes from two threads lose nothing")
{
    TempDir dir(false);
    const std::string file = "threads.ini";
    auto writer = [&file](char who) {
        for (int i = 0; i < 200; ++i) {
            const std::string key = std::string(1, who) + std::to_string(i);
            profile::write(file.c_str(), "s", key.c_str(), key.c_str());
        }
    };
    std::thread a(writer, 'a');
    std::thread b(writer, 'b');
    a.join();
    b.join();
    int lost = 0;
    for (char who : {'a', 'b'})
        for (int i = 0; i < 200; ++i) {
            const std::string key = std::string(1, who) + std::to_string(i);
            lost += get(file, "s", key.c_str()) != key;
        }
    CHECK(lost == 0);
}
#endif
