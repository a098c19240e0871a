#pragma once
// ASCII character classes and letter case. Callsigns, settings keys, tags and device
// names are ASCII; the C library's <cctype> would follow the host's locale, and bytes
// of the host's code page (Windows-1251) must never change case or count as letters.

#include <string>
#include <string_view>

namespace ascii {

constexpr bool isDigit(char c) { return c >= '0' && c <= '9'; }
constexpr bool isUpper(char c) { return c >= 'A' && c <= 'Z'; }
constexpr bool isLower(char c) { return c >= 'a' && c <= 'z'; }
constexpr bool isLetter(char c) { return isUpper(c) || isLower(c); }
// Blank and tab, as the C library's isblank.
constexpr bool isBlank(char c) { return c == ' ' || c == '\t'; }
// Blank, tab, LF, VT, FF and CR, as the C library's isspace.
constexpr bool isSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

constexpr char toLower(char c) { return isUpper(c) ? static_cast<char>(c - 'A' + 'a') : c; }
constexpr char toUpper(char c) { return isLower(c) ? static_cast<char>(c - 'a' + 'A') : c; }

inline std::string lower(std::string_view text)
{
    std::string out(text);
    for (char& c : out)
        c = toLower(c);
    return out;
}

inline std::string upper(std::string_view text)
{
    std::string out(text);
    for (char& c : out)
        c = toUpper(c);
    return out;
}

// False for the empty text.
constexpr bool allDigits(std::string_view text)
{
    if (text.empty())
        return false;
    for (char c : text)
        if (!isDigit(c))
            return false;
    return true;
}

// Equal but for the case of ASCII letters.
constexpr bool equalNoCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (toLower(a[i]) != toLower(b[i]))
            return false;
    return true;
}

constexpr bool startsWithNoCase(std::string_view text, std::string_view prefix)
{
    return prefix.size() <= text.size() && equalNoCase(text.substr(0, prefix.size()), prefix);
}

// The text without the characters at either end for which isTrimmed holds.
template <typename Predicate>
constexpr std::string_view trimmed(std::string_view text, Predicate isTrimmed)
{
    while (!text.empty() && isTrimmed(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isTrimmed(text.back()))
        text.remove_suffix(1);
    return text;
}

} // namespace ascii
