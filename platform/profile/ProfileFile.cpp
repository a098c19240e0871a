#include "platform/profile/ProfileFile.h"

#include "contract/AsciiText.h"
#include "platform/Lock.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#if defined(_WIN32)
#include <io.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace platform::profile {
namespace {

// One lock for every profile file: writes are read-modify-write of the whole file, so two
// threads setting different keys would otherwise each write back a copy missing the other.
// Constant-initialised, so it is usable from any static constructor.
Lock gLock;

std::string_view trim(std::string_view s) { return ascii::trimmed(s, ascii::isBlank); }

// Section and key names compare without regard to the case of ASCII letters.
bool sameName(std::string_view a, std::string_view b) { return ascii::equalNoCase(a, b); }

std::string_view unquote(std::string_view v)
{
    if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
        return v.substr(1, v.size() - 2);
    return v;
}

std::string hostPath(const char* file)
{
    std::string path(file);
#if !defined(_WIN32)
    for (char& c : path)
        if (c == '\\')
            c = '/';
#endif
    return path;
}

enum class Load { Ok, Missing, Failed };

Load loadFile(const std::string& path, std::string& text)
{
    text.clear();
    errno = 0;
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f)
        return errno == ENOENT ? Load::Missing : Load::Failed;
    char chunk[65536];
    std::size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, f)) > 0)
        text.append(chunk, n);
    const bool bad = std::ferror(f) != 0; // e.g. the name is a folder
    std::fclose(f);
    return bad ? Load::Failed : Load::Ok;
}

enum class Kind { Other, Section, Key };

struct Line {
    std::size_t begin = 0; // offsets into the file text
    std::size_t end = 0;   // end of content: before CR LF or LF
    std::size_t next = 0;  // start of the following line
    Kind kind = Kind::Other;
    std::string_view name;  // section or key, trimmed
    std::string_view value; // trimmed, quotes still on
};

Line classify(std::string_view text, std::size_t begin, std::size_t end, std::size_t next)
{
    Line line;
    line.begin = begin;
    line.end = end;
    line.next = next;
    std::string_view content = text.substr(begin, end - begin);
    if (begin == 0 && content.substr(0, 3) == "\xEF\xBB\xBF") // editors' UTF-8 mark
        content.remove_prefix(3);
    const std::string_view t = trim(content);
    if (t.empty() || t.front() == ';')
        return line;
    if (t.front() == '[') {
        const std::size_t close = t.rfind(']');
        if (close != std::string_view::npos && close > 0) {
            line.kind = Kind::Section;
            line.name = trim(t.substr(1, close - 1));
            return line;
        }
    }
    const std::size_t eq = t.find('=');
    if (eq == std::string_view::npos)
        return line; // a bare word is no key: lookups pass it by
    line.kind = Kind::Key;
    line.name = trim(t.substr(0, eq));
    line.value = trim(t.substr(eq + 1));
    return line;
}

std::vector<Line> splitLines(std::string_view text)
{
    std::vector<Line> lines;
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t lf = text.find('\n', pos);
        const std::size_t next = lf == std::string_view::npos ? text.size() : lf + 1;
        std::size_t end = lf == std::string_view::npos ? text.size() : lf;
        if (end > pos && text[end - 1] == '\r')
            --end;
        lines.push_back(classify(text, pos, end, next));
        pos = next;
    }
    return lines;
}

constexpr std::size_t npos = static_cast<std::size_t>(-1);

std::size_t findSection(const std::vector<Line>& lines, std::string_view section)
{
    for (std::size_t i = 0; i < lines.size(); ++i)
        if (lines[i].kind == Kind::Section && sameName(lines[i].name, section))
            return i;
    return npos;
}

// One past the last line of the section whose header is at index header.
std::size_t sectionEnd(const std::vector<Line>& lines, std::size_t header)
{
    std::size_t i = header + 1;
    while (i < lines.size() && lines[i].kind != Kind::Section)
        ++i;
    return i;
}

std::size_t findKey(const std::vector<Line>& lines, std::size_t header, std::string_view key)
{
    const std::size_t end = sectionEnd(lines, header);
    for (std::size_t i = header + 1; i < end; ++i)
        if (lines[i].kind == Kind::Key && sameName(lines[i].name, key))
            return i;
    return npos;
}

std::size_t copyOut(std::string_view value, char* buffer, std::size_t size)
{
    const std::size_t n = value.size() < size - 1 ? value.size() : size - 1;
    if (n > 0)
        std::memcpy(buffer, value.data(), n);
    buffer[n] = '\0';
    return n;
}

std::size_t copyDefault(const char* defaultValue, char* buffer, std::size_t size)
{
    std::string_view def = defaultValue ? defaultValue : "";
    // Windows drops trailing spaces (not tabs) from the default, then treats it as a value.
    while (!def.empty() && def.back() == ' ')
        def.remove_suffix(1);
    return copyOut(unquote(def), buffer, size);
}

// Keeps the file's own line ending so an edited file does not end up with mixed ones.
std::string_view lineEnding(std::string_view text)
{
    const std::size_t lf = text.find('\n');
    if (lf == std::string_view::npos) {
#if defined(_WIN32)
        return "\r\n";
#else
        return "\n";
#endif
    }
    return lf > 0 && text[lf - 1] == '\r' ? "\r\n" : "\n";
}

bool hasLineBreak(std::string_view s) { return s.find_first_of("\r\n") != std::string_view::npos; }

#if defined(_WIN32)
// The whole text goes to a sibling temporary file first, so a failure or crash mid-write
// leaves the original untouched.
bool replaceFile(const std::string& path, std::string_view text)
{
    // Renaming works on a read-only file too; the system's own writer refuses it, and so
    // do we: the file keeps every byte. The attribute decides, as it does for every user
    // there (Wine run as root would otherwise let the Unix mode be passed over).
    if (_access(path.c_str(), 2) != 0 && errno != ENOENT)
        return false;
    const std::string tmp = path + ".tmp";
    std::FILE* f = std::fopen(tmp.c_str(), "wb");
    if (!f)
        return false; // missing folder, no permission: nothing was created
    bool ok = text.empty() || std::fwrite(text.data(), 1, text.size(), f) == text.size();
    ok = std::fflush(f) == 0 && ok;
    ok = std::fclose(f) == 0 && ok;
    if (!ok) {
        std::remove(tmp.c_str());
        return false;
    }
    // The C runtime's rename will not replace an existing file. Move the old one aside
    // rather than delete it first, so every failure below can put it back, and a crash
    // leaves the old text in .bak and the new one in .tmp instead of nothing.
    const std::string bak = path + ".bak";
    std::remove(bak.c_str());
    const bool hadOld = std::rename(path.c_str(), bak.c_str()) == 0;
    if (std::rename(tmp.c_str(), path.c_str()) != 0) {
        if (hadOld)
            std::rename(bak.c_str(), path.c_str());
        std::remove(tmp.c_str());
        return false;
    }
    if (hadOld)
        std::remove(bak.c_str());
    return true;
}
#else
// The file that a write to path changes: path itself or, when path is a symbolic link,
// the end of its chain of links (which need not exist yet). The link is the operator's
// way of keeping the settings elsewhere; replacing it by a plain file would cut that.
bool followLinks(const std::string& path, std::string& target)
{
    target = path;
    for (int hops = 0; hops < 40; ++hops) { // the system's own limit on a chain
        struct stat st {};
        if (::lstat(target.c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
            return true; // a missing name is created where the chain ends
        std::vector<char> link(static_cast<std::size_t>(st.st_size > 0 ? st.st_size : 255) + 1);
        const ssize_t n = ::readlink(target.c_str(), link.data(), link.size());
        if (n < 0 || static_cast<std::size_t>(n) >= link.size())
            return false; // changed under us; try no guess
        const std::string to(link.data(), static_cast<std::size_t>(n));
        if (to.empty())
            return false;
        if (to.front() == '/') {
            target = to;
        } else { // relative to the folder holding the link
            const std::size_t slash = target.rfind('/');
            target = slash == std::string::npos ? std::string() : target.substr(0, slash + 1);
            target += to;
        }
    }
    return false; // a loop
}

bool writeAll(int descriptor, std::string_view text)
{
    const char* data = text.data();
    std::size_t size = text.size();
    while (size > 0) {
        const ssize_t n = ::write(descriptor, data, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

// The whole text goes to a temporary file beside the file it replaces, so a failure or
// crash mid-write leaves the original untouched. A file that this process may not write
// is left as it is and the write fails, as the system's own writer on Windows does: the
// rename alone would succeed wherever the folder is writable, whatever the file's mode.
bool replaceFile(const std::string& path, std::string_view text)
{
    std::string target;
    if (!followLinks(path, target))
        return false;
    struct stat old {};
    const bool exists = ::stat(target.c_str(), &old) == 0;
    if (!exists && errno != ENOENT)
        return false;
    if (exists) {
        if (!S_ISREG(old.st_mode))
            return false; // a device or pipe is no settings file to replace
        const int probe = ::open(target.c_str(), O_WRONLY | O_CLOEXEC);
        if (probe < 0)
            return false; // read-only to us, or on a read-only file system
        ::close(probe);
    }

    const std::string tmp = target + ".tmp";
    const int descriptor = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC,
                                  exists ? S_IRUSR | S_IWUSR : 0666);
    if (descriptor < 0)
        return false; // missing folder, no permission: nothing was created
    bool ok = writeAll(descriptor, text);
    if (ok && exists) {
        // The new file takes the old one's owner (where we may give it) and mode, so a
        // file kept private stays private and one shared with a group stays shared.
        if (::fchown(descriptor, old.st_uid, old.st_gid) != 0)
            (void)!::fchown(descriptor, static_cast<uid_t>(-1), old.st_gid);
        ok = ::fchmod(descriptor, old.st_mode & 07777) == 0;
    }
    ok = ::close(descriptor) == 0 && ok;
    if (!ok || std::rename(tmp.c_str(), target.c_str()) != 0) {
        std::remove(tmp.c_str());
        return false;
    }
    return true;
}
#endif

// The edited text, or the same text when the call changes nothing.
std::string edit(const std::string& text, std::string_view section, const char* key,
                 const char* value)
{
    const std::vector<Line> lines = splitLines(text);
    const std::size_t header = findSection(lines, section);
    const std::string_view eol = lineEnding(text);

    if (!key) { // Windows: a null key removes the whole section
        if (header == npos)
            return text;
        const std::size_t stop = sectionEnd(lines, header);
        const std::size_t to = stop < lines.size() ? lines[stop].begin : text.size();
        std::string out = text;
        out.erase(lines[header].begin, to - lines[header].begin);
        return out;
    }

    const std::string_view name = trim(key);
    const std::size_t at = header == npos ? npos : findKey(lines, header, name);

    if (!value) { // Windows: a null value removes the key
        if (at == npos)
            return text;
        std::string out = text;
        out.erase(lines[at].begin, lines[at].next - lines[at].begin);
        return out;
    }

    if (at != npos) {
        // Keep the line's own spelling and layout up to the old value, swap only the rest.
        const Line& l = lines[at];
        const std::size_t from = static_cast<std::size_t>(l.value.data() - text.data());
        std::string out = text;
        out.replace(from, l.end - from, value);
        return out;
    }

    std::string entry;
    entry.append(name).append("=").append(value).append(eol);

    if (header != npos) {
        // After the last key rather than before the next header: comments and blank lines
        // at a section's end usually introduce the section that follows.
        std::size_t last = header;
        const std::size_t stop = sectionEnd(lines, header);
        for (std::size_t i = header + 1; i < stop; ++i)
            if (lines[i].kind == Kind::Key)
                last = i;
        const Line& l = lines[last];
        if (l.next == text.size() && text.back() != '\n') // last line, unterminated
            entry.insert(0, eol);
        std::string out = text;
        out.insert(l.next, entry);
        return out;
    }

    std::string out = text;
    if (!out.empty() && out.back() != '\n')
        out.append(eol);
    out.append("[").append(section).append("]").append(eol).append(entry);
    return out;
}

} // namespace

std::size_t read(const char* file, const char* section, const char* key,
                 const char* defaultValue, char* buffer, std::size_t size)
{
    if (!buffer || size == 0)
        return 0;
    if (!file || !section || !key)
        return copyDefault(defaultValue, buffer, size);

    std::string text;
    {
        LockGuard guard(gLock);
        if (loadFile(hostPath(file), text) != Load::Ok)
            return copyDefault(defaultValue, buffer, size);
    }
    const std::vector<Line> lines = splitLines(text);
    const std::size_t header = findSection(lines, trim(section));
    if (header == npos)
        return copyDefault(defaultValue, buffer, size);
    const std::size_t at = findKey(lines, header, trim(key));
    if (at == npos)
        return copyDefault(defaultValue, buffer, size);
    return copyOut(unquote(lines[at].value), buffer, size);
}

bool write(const char* file, const char* section, const char* key, const char* value)
{
    if (!file || !section)
        return false;
    const std::string_view name = trim(section);
    // A line break would split the entry into lines that read back as something else.
    if (hasLineBreak(name) || (key && hasLineBreak(key)) || (value && hasLineBreak(value)))
        return false;

    LockGuard guard(gLock);
    const std::string path = hostPath(file);
    std::string text;
    const Load load = loadFile(path, text);
    if (load == Load::Failed)
        return false; // unreadable is not empty: rewriting it would lose its contents
    const std::string out = edit(text, name, key, value);
    if (load == Load::Ok && out == text)
        return true;
    if (load == Load::Missing && out.empty())
        return true; // removing from a file that is not there
    return replaceFile(path, out);
}

} // namespace platform::profile
