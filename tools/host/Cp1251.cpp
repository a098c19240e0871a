#include "tools/host/Cp1251.h"

#include <algorithm>
#include <iterator>
#include <utility>

namespace korvane {
namespace {

// Unicode code points of the bytes 0x80 to 0xFF; U+FFFD for the one unassigned byte.
const char16_t kUpperHalf[128] = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021,
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F,
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0xFFFD, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F,
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7,
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7,
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457,
    0x0410, 0x0411, 0x0412, 0x0413, 0x0414, 0x0415, 0x0416, 0x0417,
    0x0418, 0x0419, 0x041A, 0x041B, 0x041C, 0x041D, 0x041E, 0x041F,
    0x0420, 0x0421, 0x0422, 0x0423, 0x0424, 0x0425, 0x0426, 0x0427,
    0x0428, 0x0429, 0x042A, 0x042B, 0x042C, 0x042D, 0x042E, 0x042F,
    0x0430, 0x0431, 0x0432, 0x0433, 0x0434, 0x0435, 0x0436, 0x0437,
    0x0438, 0x0439, 0x043A, 0x043B, 0x043C, 0x043D, 0x043E, 0x043F,
    0x0440, 0x0441, 0x0442, 0x0443, 0x0444, 0x0445, 0x0446, 0x0447,
    0x0448, 0x0449, 0x044A, 0x044B, 0x044C, 0x044D, 0x044E, 0x044F,
};

void appendUtf8(std::string& out, char16_t cp)
{
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// The code point of the UTF-8 sequence at text[at] and its length; length 0 when the
// bytes there are no valid, shortest-form sequence of a scalar value.
std::pair<char32_t, std::size_t> decodeUtf8(std::string_view text, std::size_t at)
{
    const unsigned char lead = static_cast<unsigned char>(text[at]);
    if (lead < 0x80)
        return {lead, 1};
    const std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 0;
    if (length == 0 || lead > 0xF4 || at + length > text.size())
        return {0, 0};
    char32_t cp = lead & (0x7F >> length);
    for (std::size_t i = 1; i < length; ++i) {
        const unsigned char next = static_cast<unsigned char>(text[at + i]);
        if ((next & 0xC0) != 0x80)
            return {0, 0};
        cp = (cp << 6) | (next & 0x3F);
    }
    static const char32_t kShortest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (cp < kShortest[length] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        return {0, 0};
    return {cp, length};
}

std::string hexByte(unsigned char b)
{
    static const char kDigits[] = "0123456789ABCDEF";
    return std::string("0x") + kDigits[b >> 4] + kDigits[b & 0xF];
}

std::string codePoint(char32_t cp)
{
    static const char kDigits[] = "0123456789ABCDEF";
    std::string hex;
    for (; cp != 0 || hex.size() < 4; cp >>= 4)
        hex.insert(hex.begin(), kDigits[cp & 0xF]);
    return "U+" + hex;
}

} // namespace

std::string utf8ToCp1251(std::string_view utf8, std::string& out)
{
    out.clear();
    for (std::size_t at = 0; at < utf8.size();) {
        const auto [cp, length] = decodeUtf8(utf8, at);
        if (length == 0)
            return "byte " + hexByte(static_cast<unsigned char>(utf8[at])) + " at position " +
                   std::to_string(at + 1) + " is not UTF-8";
        const char16_t* const end = std::end(kUpperHalf);
        const char16_t* found = cp < 0x80 || cp == 0xFFFD ? end : std::find(std::begin(kUpperHalf), end, cp);
        if (cp < 0x80)
            out += static_cast<char>(cp);
        else if (found != end)
            out += static_cast<char>(0x80 + (found - std::begin(kUpperHalf)));
        else
            return "\"" + std::string(utf8.substr(at, length)) + "\" (" + codePoint(cp) +
                   ") has no Windows-1251 form";
        at += length;
    }
    return std::string();
}

std::string cp1251ToUtf8(std::string_view bytes)
{
    std::string out;
    out.reserve(bytes.size() * 2);
    for (char c : bytes) {
        const unsigned char b = static_cast<unsigned char>(c);
        appendUtf8(out, b < 0x80 ? static_cast<char16_t>(b) : kUpperHalf[b - 0x80]);
    }
    return out;
}

} // namespace korvane
