#include "platform/profile/ProfileFile.h"

#include "TempDir.h"

#include <doctest/doctest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>
#if !defined(_WIN32)
#include <thread>

#include <fcntl.h>
#include <grp.h>
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
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
        /* 11 */ {"[s]\na=1\n", "s", "b", "2", "[s]\na=1\nb=2\n"},
        /* 12 */ {"[s]\r\na=1\r\n[t]\r\nc=3\r\n", "t", "d", "4", "[s]\r\na=1\r\n[t]\r\nc=3\r\nd=4\r\n"},
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
#if !defined(_WIN32)
    // A write that changes nothing leaves the file alone: the same file, not a copy.
    writeFileBytes("same.ini", "[s]\nk=1\n");
    struct stat before {};
    REQUIRE(::stat("same.ini", &before) == 0);
    // Asked after each write: a freed inode number is soon given out again.
    const auto sameFile = [&] {
        struct stat now {};
        return ::stat("same.ini", &now) == 0 && now.st_ino == before.st_ino;
    };
    CHECK(profile::write("same.ini", "s", "k", "1"));
    CHECK(sameFile());
    CHECK(profile::write("same.ini", "s", "j", nullptr));
    CHECK(sameFile());
#endif
}

TEST_CASE("profile write failures change nothing")
{
    TempDir dir(false);
    CHECK_FALSE(profile::write("nodir\\x.ini", "s", "k", "v"));
    CHECK(fs::is_empty(dir.path()));

    const std::string file = "a.ini";
    writeFileBytes(file, "[s]\nk=1\n");
    CHECK_FALSE(profile::write(file.c_str(), "s", "k", "two\nlines"));
    CHECK_FALSE(profile::write(file.c_str(), "s", "k", "carriage\rreturn"));
    CHECK_FALSE(profile::write(file.c_str(), "s", "k\nj", "v"));
    fs::create_directory(file + ".tmp"); // the temporary file cannot be created
    CHECK_FALSE(profile::write(file.c_str(), "s", "k", "2"));
    CHECK(readFileBytes(file) == "[s]\nk=1\n");
    fs::create_directory("sub");
    CHECK_FALSE(profile::write("sub", "s", "k", "v")); // a folder
    CHECK_FALSE(profile::write(file.c_str(), nullptr, "k", "v"));
#if !defined(_WIN32)
    // A write that fails once the temporary file exists, here at a file-size limit: the
    // child gets EFBIG instead of a signal, and must leave neither a change nor a
    // temporary file behind.
    fs::remove(file + ".tmp");
    const pid_t child = ::fork();
    if (child == 0) {
        const struct rlimit limit = {16, 16};
        if (::signal(SIGXFSZ, SIG_IGN) == SIG_ERR || ::setrlimit(RLIMIT_FSIZE, &limit) != 0)
            ::_exit(2);
        ::_exit(profile::write(file.c_str(), "s", "k", std::string(100, 'x').c_str()) ? 1 : 0);
    }
    int status = -1;
    REQUIRE(::waitpid(child, &status, 0) == child);
    REQUIRE(WIFEXITED(status));
    CHECK(WEXITSTATUS(status) == 0);
    CHECK(readFileBytes(file) == "[s]\nk=1\n");
    CHECK(!fs::exists(file + ".tmp"));
#endif
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

#if !defined(_WIN32)
namespace {

constexpr int kCouldNotDropRights = 90;
constexpr int kSetupUnusable = 91;

// Root writes any file whatever its mode, so a file that is read-only to the writer is
// only read-only as another user: the write runs in a child process that gives up root
// for uid and gid 65534 (what setpriv --reuid=65534 --regid=65534 --clear-groups does)
// before it writes. Not root: the child stays who we are, for whom the mode already
// holds. The child first checks that it can read the file and create files beside it,
// so that a write which replaced the file would have succeeded. Returns the child's
// exit status: write's result (1 true, 0 false) or one of the codes above.
int writeAsUnprivileged(const std::string& file, const char* key, const char* value)
{
    const pid_t child = ::fork();
    if (child == 0) {
        if (::geteuid() == 0 &&
            (::setgroups(0, nullptr) != 0 || ::setresgid(65534, 65534, 65534) != 0 ||
             ::setresuid(65534, 65534, 65534) != 0))
            ::_exit(kCouldNotDropRights);
        const std::string folder = fs::path(file).parent_path().string();
        const std::string probe = folder + "/probe";
        const int created = ::open(probe.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0600);
        if (created < 0 || ::access(file.c_str(), R_OK) != 0)
            ::_exit(kSetupUnusable);
        ::close(created);
        ::unlink(probe.c_str());
        ::_exit(profile::write(file.c_str(), "Settings", key, value) ? 1 : 0);
    }
    int status = 0;
    if (child < 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status);
}

fs::perms modeOf(const fs::path& p) { return fs::status(p).permissions(); }

} // namespace

TEST_CASE("profile write leaves a file it may not write byte for byte")
{
    struct Case {
        bool throughLink; // MOLTA.ini is a link to the read-only file elsewhere
        const char* key;
        const char* value;
    };
    const Case cases[] = {
        /* 1 */ {false, "Name", "New"},   // a changed value
        /* 2 */ {false, "Email", "x@y"},  // a new key
        /* 3 */ {false, "Start", nullptr}, // a removed key
        /* 4 */ {true, "Name", "New"},
        /* 5 */ {true, "Email", "x@y"},
    };
    const std::string before = "[Settings]\r\nName=Old\r\nStart=1\r\n";
    int number = 0;
    for (const Case& c : cases) {
        ++number;
        CAPTURE(number);
        TempDir dir;
        // Folders anyone may write in: only the file's own mode stands in the way.
        fs::create_directory(dir.path() / "elsewhere");
        for (const fs::path& folder : {dir.path(), dir.path() / "Plugins", dir.path() / "elsewhere"})
            fs::permissions(folder, fs::perms::all);
        const fs::path file = c.throughLink ? dir.path() / "elsewhere" / "real.ini" : dir.settingsPath();
        writeFileBytes(file, before);
        if (c.throughLink)
            fs::create_symlink("../elsewhere/real.ini", dir.settingsPath());
        const bool root = ::geteuid() == 0;
        if (root) // the file belongs to the writer, who made it read-only
            REQUIRE(::chown(file.c_str(), 65534, 65534) == 0);
        fs::permissions(file, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);

        const int result = writeAsUnprivileged(dir.settingsPath().string(), c.key, c.value);
        REQUIRE_MESSAGE(result != kCouldNotDropRights, "root could not become uid 65534");
        REQUIRE_MESSAGE(result != kSetupUnusable,
                        "uid 65534 cannot reach the test folder " << dir.path().string());
        CHECK(result == 0);
        CHECK(readFileBytes(file) == before);
        CHECK(modeOf(file) == (fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read));
        CHECK(fs::is_symlink(dir.settingsPath()) == c.throughLink);
        struct stat st {};
        REQUIRE(::stat(file.c_str(), &st) == 0);
        if (root)
            CHECK(st.st_uid == 65534u);
        CHECK(!fs::exists(file.string() + ".tmp"));
        CHECK(!fs::exists(dir.settingsPath().string() + ".tmp"));
    }
}

TEST_CASE("profile write follows a link to its file and keeps the file's mode")
{
    struct Case {
        const char* link;     // what Plugins/MOLTA.ini holds; null: a plain file
        const char* extraHop; // a link Plugins/hop.ini the first one leads to; null: none
        fs::perms mode;       // of the file at the end; created files get the umask's
        bool exists;          // the file at the end is there before the write
        bool tmpBesideLink;   // a folder takes the temporary name beside the link
    };
    const fs::perms rw = fs::perms::owner_read | fs::perms::owner_write;
    const fs::perms group = rw | fs::perms::group_read | fs::perms::group_write;
    const std::string real = "real/settings.ini"; // below the test folder
    const Case cases[] = {
        /* 1 */ {"../real/settings.ini", nullptr, group, true, false},
        /* 2 */ {"(absolute)", nullptr, rw, true, false},
        /* 3 */ {"hop.ini", "../real/settings.ini", rw, true, false},  // a chain of two
        /* 4 */ {"../real/settings.ini", nullptr, rw, false, false},   // dangling: created
        /* 5 */ {"../real/settings.ini", nullptr, rw, true, true},     // temp beside the target
        /* 6 */ {nullptr, nullptr, rw, true, false},                   // a plain private file
        /* 7 */ {nullptr, nullptr, group | fs::perms::others_read, true, false},
        /* 8 */ {nullptr, nullptr, rw, false, false},                  // a new plain file
        /* 9 */ {nullptr, nullptr, group | fs::perms::set_gid, true, false}, // every mode bit
    };
    // Under umask 022 a new file is 0644, as any program's new file is.
    const fs::perms created = rw | fs::perms::group_read | fs::perms::others_read;
    const mode_t savedMask = ::umask(022);
    const std::string before = "[Settings]\nName=Old\n";
    const std::string after = "[Settings]\nName=New\n";
    int number = 0;
    for (const Case& c : cases) {
        ++number;
        CAPTURE(number);
        TempDir dir;
        fs::create_directory(dir.path() / "real");
        const fs::path target = c.link ? dir.path() / real : dir.settingsPath();
        if (c.exists) {
            writeFileBytes(target, before);
            fs::permissions(target, c.mode);
        }
        std::string linkText;
        if (c.link) {
            linkText = std::string(c.link) == "(absolute)" ? (dir.path() / real).string() : c.link;
            fs::create_symlink(linkText, dir.settingsPath());
            if (c.extraHop)
                fs::create_symlink(c.extraHop, dir.path() / "Plugins" / "hop.ini");
        }
        if (c.tmpBesideLink)
            fs::create_directory(dir.settingsPath().string() + ".tmp");

        CHECK(profile::write(dir.settingsPath().c_str(), "Settings", "Name", "New"));
        CHECK(readFileBytes(target) == after);
        CHECK(fs::is_regular_file(fs::symlink_status(target)));
        CHECK(modeOf(target) == (c.exists ? c.mode : created));
        if (c.link) {
            CHECK(fs::is_symlink(dir.settingsPath()));
            if (fs::is_symlink(dir.settingsPath()))
                CHECK(fs::read_symlink(dir.settingsPath()).string() == linkText);
        }
        if (c.extraHop)
            CHECK(fs::is_symlink(dir.path() / "Plugins" / "hop.ini"));
        CHECK(!fs::exists(target.string() + ".tmp"));
        CHECK(get(dir.settingsPath().string(), "Settings", "Name") == "New");
    }
    ::umask(savedMask);
}

TEST_CASE("profile write refuses a link loop and a device, changing nothing")
{
    TempDir dir;
    fs::create_symlink("MOLTA.ini", dir.settingsPath());
    CHECK_FALSE(profile::write(dir.settingsPath().c_str(), "Settings", "Name", "New"));
    CHECK(fs::is_symlink(dir.settingsPath()));
    CHECK(fs::read_symlink(dir.settingsPath()) == "MOLTA.ini");

    // A link to a device (here one that reads as empty) is no settings file to replace.
    const fs::path other = dir.path() / "Plugins" / "other.ini";
    fs::create_symlink("/dev/null", other);
    CHECK_FALSE(profile::write(other.c_str(), "Settings", "Name", "New"));
    CHECK(fs::is_symlink(other));
    if (fs::is_symlink(other))
        CHECK(fs::read_symlink(other) == "/dev/null");
    CHECK(fs::is_character_file("/dev/null"));
}
#endif
