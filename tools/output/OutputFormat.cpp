#include "tools/output/OutputFormat.h"

#include <algorithm>
#include <cstdio>
#include <utility>

namespace korvane {
namespace {

constexpr const char* kReplacement = "\xEF\xBF\xBD"; // U+FFFD

// Length of the well-formed UTF-8 sequence at the start of bytes, or 0 (Unicode's
// table of well-formed byte sequences: no overlong forms, no surrogates, at most U+10FFFF).
std::size_t sequenceLength(std::string_view bytes)
{
    const auto at = [&](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
    const unsigned char b0 = at(0);
    if (b0 < 0x80)
        return 1;
    std::size_t length = 0;
    if (b0 >= 0xC2 && b0 <= 0xDF)
        length = 2;
    else if (b0 >= 0xE0 && b0 <= 0xEF)
        length = 3;
    else if (b0 >= 0xF0 && b0 <= 0xF4)
        length = 4;
    else
        return 0;
    // The second byte's range is narrower after the four lead bytes whose full range
    // would allow an overlong form (E0, F0), a surrogate (ED) or more than U+10FFFF (F4).
    const unsigned char low = b0 == 0xE0 ? 0xA0 : b0 == 0xF0 ? 0x90 : 0x80;
    const unsigned char high = b0 == 0xED ? 0x9F : b0 == 0xF4 ? 0x8F : 0xBF;
    if (bytes.size() < length || at(1) < low || at(1) > high)
        return 0;
    for (std::size_t i = 2; i < length; ++i)
        if (at(i) < 0x80 || at(i) > 0xBF)
            return 0;
    return length;
}

} // namespace

std::optional<OutputFormat> parseOutputFormat(std::string_view name)
{
    if (name == "text")
        return OutputFormat::Text;
    if (name == "json")
        return OutputFormat::Json;
    if (name == "csv")
        return OutputFormat::Csv;
    return std::nullopt;
}

std::string validUtf8(std::string_view bytes)
{
    std::string out;
    out.reserve(bytes.size());
    while (!bytes.empty()) {
        const std::size_t n = sequenceLength(bytes);
        if (n == 0) {
            out += kReplacement;
            bytes.remove_prefix(1);
        } else {
            out.append(bytes.data(), n);
            bytes.remove_prefix(n);
        }
    }
    return out;
}

std::string jsonString(std::string_view bytes, JsonDel del)
{
    std::string out = "\"";
    for (char c : validUtf8(bytes)) {
        const unsigned char b = static_cast<unsigned char>(c);
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            if (b < 0x20 || (b == 0x7F && del == JsonDel::Escaped)) {
                char escaped[8];
                std::snprintf(escaped, sizeof escaped, "\\u%04x", b);
                out += escaped;
            } else {
                out += c;
            }
        }
    }
    return out + "\"";
}

void JsonWriter::beforeValue()
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
    level.hasItems = true;
    if (!level.compact) {
        out_ += '\n';
        out_.append(2 * levels_.size(), ' ');
    }
}

JsonWriter& JsonWriter::open(char bracket, bool compact)
{
    beforeValue();
    out_ += bracket;
    levels_.push_back({false, compact || (!levels_.empty() && levels_.back().compact)});
    return *this;
}

JsonWriter& JsonWriter::close(char bracket)
{
    const Level level = levels_.back();
    levels_.pop_back();
    if (level.hasItems && !level.compact) {
        out_ += '\n';
        out_.append(2 * levels_.size(), ' ');
    }
    out_ += bracket;
    return *this;
}

JsonWriter& JsonWriter::key(std::string_view name)
{
    beforeValue();
    out_ += jsonString(name, del_) + ": ";
    afterKey_ = true;
    return *this;
}

JsonWriter& JsonWriter::value(std::string_view text)
{
    beforeValue();
    out_ += jsonString(text, del_);
    return *this;
}

JsonWriter& JsonWriter::value(long long number)
{
    beforeValue();
    out_ += std::to_string(number);
    return *this;
}

JsonWriter& JsonWriter::value(bool flag)
{
    beforeValue();
    out_ += flag ? "true" : "false";
    return *this;
}

JsonWriter& JsonWriter::null()
{
    beforeValue();
    out_ += "null";
    return *this;
}

std::string JsonWriter::drain()
{
    std::string piece = std::move(out_);
    out_.clear(); // a moved-from string is valid but not promised empty
    return piece;
}

void writeLogHead(JsonWriter& json, const JsonLogHead& head)
{
    json.key("log").beginObject(true);
    json.key("file").value(head.logPath).key("format").value(head.logFormat);
    json.key("qsos_read").value(head.qsosRead).key("records_skipped").value(head.recordsSkipped);
    json.key("left_out_before_start").value(head.leftOutBeforeStart);
    json.key("left_out_after_end").value(head.leftOutAfterEnd);
    json.endObject();
    json.key("own_call").value(head.ownCall);
}

namespace {

// "-5", "+3", "12.5": what a spreadsheet reads as a number and never as a formula.
bool plainNumber(std::string_view text)
{
    if (!text.empty() && (text.front() == '-' || text.front() == '+'))
        text.remove_prefix(1);
    const std::size_t dot = text.find('.');
    const std::string_view whole = text.substr(0, dot);
    const std::string_view fraction = dot == std::string_view::npos ? std::string_view() : text.substr(dot + 1);
    const bool digits = std::all_of(whole.begin(), whole.end(), [](char c) { return c >= '0' && c <= '9'; }) &&
                        std::all_of(fraction.begin(), fraction.end(), [](char c) { return c >= '0' && c <= '9'; });
    return digits && !whole.empty() && (dot == std::string_view::npos || !fraction.empty());
}

// A spreadsheet runs a cell that begins with one of these as a formula; a log's text
// must never reach it that way, so such a cell gets a leading apostrophe.
bool startsFormula(std::string_view text)
{
    return !text.empty() && std::string_view("=+-@\t\r").find(text.front()) != std::string_view::npos &&
           !plainNumber(text);
}

} // namespace

std::string csvField(std::string_view bytes)
{
    std::string text = validUtf8(bytes);
    if (startsFormula(text))
        text.insert(0, 1, '\'');
    const bool quoted = text.find_first_of(",\"\r\n") != std::string::npos ||
                        (!text.empty() && (text.front() == ' ' || text.back() == ' '));
    if (!quoted)
        return text;
    std::string out = "\"";
    for (char c : text) {
        if (c == '"')
            out += '"';
        out += c;
    }
    return out + "\"";
}

std::string csvRow(const std::vector<std::string>& fields)
{
    std::string out;
    for (std::size_t i = 0; i < fields.size(); ++i)
        out += (i ? "," : "") + csvField(fields[i]);
    return out + "\n";
}

} // namespace korvane
