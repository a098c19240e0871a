#include "Golden.h"

#include <doctest/doctest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iomanip>
#include <iterator>
#include <sstream>
#include <vector>

#ifndef KORVANE_GOLDEN_DIR
#error "KORVANE_GOLDEN_DIR must name tests/golden (see tests/CMakeLists.txt)"
#endif

namespace golden {
namespace {

constexpr std::size_t kContextLines = 2;
constexpr std::size_t kShownBytes = 120; // of one line; longer lines are cut around the difference

// Plain narrow-string paths and streams: the same under Wine as on Linux.
std::string pathOf(const std::string& name)
{
    std::string path = std::string(KORVANE_GOLDEN_DIR) + "/" + name;
#if defined(_WIN32)
    std::replace(path.begin(), path.end(), '/', '\\');
#endif
    return path;
}

bool readAll(const std::string& path, std::string& bytes)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

// In quotes, so that trailing blanks show, with line ends, tabs and other bytes written out.
std::string visible(const std::string& bytes)
{
    std::string out = "\"";
    for (const unsigned char c : bytes) {
        switch (c) {
        case '\r': out += "\\r"; break;
        case '\n': out += "\\n"; break;
        case '\t': out += "\\t"; break;
        case '\\': out += "\\\\"; break;
        case '"': out += "\\\""; break;
        default:
            if (c < 0x20 || c >= 0x7F) {
                char hex[8];
                std::snprintf(hex, sizeof hex, "\\x%02X", c);
                out += hex;
            } else {
                out += static_cast<char>(c);
            }
        }
    }
    return out + "\"";
}

// A long line cut to kShownBytes around the byte `around` (0-based).
std::string shown(const std::string& line, std::size_t around = 0)
{
    if (line.size() <= kShownBytes)
        return visible(line);
    const std::size_t from = std::min(around > kShownBytes / 2 ? around - kShownBytes / 2 : 0,
                                      line.size() - kShownBytes);
    return (from > 0 ? "..." : "") + visible(line.substr(from, kShownBytes)) +
           (from + kShownBytes < line.size() ? "..." : "");
}

// The lines of a text, each with its "\n"; a "\r" stays part of its line.
std::vector<std::string> linesOf(const std::string& text)
{
    std::vector<std::string> lines;
    for (std::size_t from = 0; from < text.size();) {
        const std::size_t newline = text.find('\n', from);
        const std::size_t end = newline == std::string::npos ? text.size() : newline + 1;
        lines.push_back(text.substr(from, end - from));
        from = end;
    }
    return lines;
}

void putLine(std::ostringstream& out, std::size_t index, const std::vector<std::string>& lines,
             bool marked, std::size_t column)
{
    out << std::setw(5) << index + 1 << (marked ? " > " : "   ")
        << (index < lines.size() ? shown(lines[index], marked ? column : 0) : "(the text ends before)")
        << '\n';
}

} // namespace

std::ostream& operator<<(std::ostream& out, const Match& match)
{
    return out << (match ? std::string("the same bytes") : "\n" + match.difference);
}

std::string text(const std::string& name)
{
    std::string bytes;
    const std::string path = pathOf(name);
    REQUIRE_MESSAGE(readAll(path, bytes), "cannot read the golden file " << path);
    return bytes;
}

Match equalsFile(const std::string& actual, const std::string& name)
{
    std::string expected;
    const std::string path = pathOf(name);
    if (!readAll(path, expected))
        return {"cannot read the golden file " + path};
    const std::string d = difference(expected, actual);
    return {d.empty() ? d : "differs from " + path + ":\n" + d};
}

Match equalsText(const std::string& actual, const std::string& expected)
{
    return {difference(expected, actual)};
}

std::string difference(const std::string& expected, const std::string& actual)
{
    if (expected == actual)
        return "";
    const std::size_t common = std::min(expected.size(), actual.size());
    const std::size_t at = static_cast<std::size_t>(
        std::mismatch(expected.begin(), expected.begin() + common, actual.begin()).first -
        expected.begin());
    const std::size_t line = static_cast<std::size_t>(
        std::count(expected.begin(), expected.begin() + at, '\n'));
    const std::size_t lineStart = at == 0 ? 0 : expected.rfind('\n', at - 1) + 1; // npos + 1 == 0
    const std::size_t column = at - lineStart;

    std::ostringstream out;
    out << "first difference at line " << line + 1 << ", byte " << column + 1 << " of the line (byte "
        << at + 1 << " of the text); expected " << expected.size() << " bytes, actual " << actual.size()
        << "\n";
    const std::vector<std::string> want = linesOf(expected);
    const std::vector<std::string> got = linesOf(actual);
    for (std::size_t i = line > kContextLines ? line - kContextLines : 0; i < line; ++i)
        putLine(out, i, want, false, 0);
    for (const auto* side : {&want, &got}) {
        out << (side == &want ? "expected:\n" : "actual:\n");
        const std::size_t last = std::max<std::size_t>(line + 1, std::min(side->size(), line + 1 + kContextLines));
        for (std::size_t i = line; i < last; ++i)
            putLine(out, i, *side, i == line, column);
    }
    return out.str();
}

} // namespace golden
