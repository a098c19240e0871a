#include "tools/korvane/judge/TextFormats.h"

#include <cstdio>

namespace korvane::judge {
namespace {

// Length of the well-formed UTF-8 sequence at text[i], or 0.
std::size_t sequenceLength(std::string_view text, std::size_t i)
{
    const auto b = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char c = b(i);
    if (c < 0x80)
        return 1;
    std::size_t n;
    unsigned char lo = 0x80, hi = 0xBF;
    if (c >= 0xC2 && c <= 0xDF)
        n = 2;
    else if (c >= 0xE0 && c <= 0xEF) {
        n = 3;
        lo = c == 0xE0 ? 0xA0 : 0x80; // no overlong forms
        hi = c == 0xED ? 0x9F : 0xBF; // no surrogates
    } else if (c >= 0xF0 && c <= 0xF4) {
        n = 4;
        lo = c == 0xF0 ? 0x90 : 0x80;
        hi = c == 0xF4 ? 0x8F : 0xBF; // nothing past U+10FFFF
    } else
        return 0;
    if (i + n > text.size() || b(i + 1) < lo || b(i + 1) > hi)
        return 0;
    for (std::size_t k = 2; k < n; ++k)
        if (b(i + k) < 0x80 || b(i + k) > 0xBF)
            return 0;
    return n;
}

} // namespace

std::string validUtf8(std::string_view bytes)
{
    std::string out;
    out.reserve(bytes.size());
    for (std::size_t i = 0; i < bytes.size();) {
        const std::size_t n = sequenceLength(bytes, i);
        if (n == 0) {
            out += "\xEF\xBF\xBD";
            ++i;
        } else {
            out.append(bytes.substr(i, n));
            i += n;
        }
    }
    return out;
}

std::string csvLine(const std::vector<std::string>& fields)
{
    std::string out;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        const std::string f = validUtf8(fields[i]);
        const bool quote = f.find_first_of(",\"\r\n") != std::string::npos ||
                           (!f.empty() && (f.front() == ' ' || f.back() == ' '));
        out += i ? "," : "";
        if (!quote) {
            out += f;
            continue;
        }
        out += '"';
        for (char c : f)
            out += c == '"' ? std::string("\"\"") : std::string(1, c);
        out += '"';
    }
    return out + "\n";
}

std::string htmlEscaped(std::string_view text)
{
    std::string out;
    for (char c : validUtf8(text)) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        case '\'': out += "&#39;"; break;
        default: out += c;
        }
    }
    return out;
}

void JsonText::newLine()
{
    out_ += '\n';
    out_.append(2 * levels_.size(), ' ');
}

void JsonText::beforeValue()
{
    if (afterKey_) {
        afterKey_ = false;
        return;
    }
    if (levels_.empty())
        return;
    Level& level = levels_.back();
    if (level.hasItems)
        out_ += level.compact ? ", " : ",";
    if (!level.compact)
        newLine();
    level.hasItems = true;
}

JsonText& JsonText::open(char bracket, bool compact)
{
    beforeValue();
    out_ += bracket;
    const bool inCompact = !levels_.empty() && levels_.back().compact;
    levels_.push_back({false, compact || inCompact});
    return *this;
}

JsonText& JsonText::close(char bracket)
{
    const Level level = levels_.back();
    levels_.pop_back();
    if (level.hasItems && !level.compact)
        newLine();
    out_ += bracket;
    return *this;
}

JsonText& JsonText::key(std::string_view name)
{
    value(name);
    out_ += ": ";
    afterKey_ = true;
    return *this;
}

JsonText& JsonText::value(std::string_view text)
{
    beforeValue();
    out_ += '"';
    for (char c : validUtf8(text)) {
        switch (c) {
        case '"': out_ += "\\\""; break;
        case '\\': out_ += "\\\\"; break;
        case '\n': out_ += "\\n"; break;
        case '\r': out_ += "\\r"; break;
        case '\t': out_ += "\\t"; break;
        default:
            if (static_cast<unsigned char>(c) < 0x20) {
                char escape[8];
                std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned>(c));
                out_ += escape;
            } else {
                out_ += c;
            }
        }
    }
    out_ += '"';
    return *this;
}

JsonText& JsonText::value(long long number)
{
    beforeValue();
    out_ += std::to_string(number);
    return *this;
}

JsonText& JsonText::value(bool flag)
{
    beforeValue();
    out_ += flag ? "true" : "false";
    return *this;
}

JsonText& JsonText::null()
{
    beforeValue();
    out_ += "null";
    return *this;
}

std::string JsonText::drain()
{
    std::string out = std::move(out_);
    out_.clear();
    return out;
}

std::string JsonText::take()
{
    std::string out = std::move(out_);
    out_.clear();
    levels_.clear();
    return out + "\n";
}

} // namespace korvane::judge
