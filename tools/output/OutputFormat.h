#pragma once
// What korvane prints for scripts: JSON and CSV written by hand, small and exact. Texts
// from a log may hold any bytes; both writers emit valid UTF-8 (each byte that is not
// part of a well-formed UTF-8 sequence becomes U+FFFD), so a strict parser never fails.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace korvane {

enum class OutputFormat { Text, Json, Csv };

// "text", "json" or "csv"; empty for anything else.
std::optional<OutputFormat> parseOutputFormat(std::string_view name);

// The text with every ill-formed byte (stray continuation, overlong form, surrogate,
// past U+10FFFF, cut sequence) replaced by U+FFFD.
std::string validUtf8(std::string_view bytes);

// How a JSON string writes DEL (0x7F), which JSON allows as it is. score and tours
// escape it like the other control characters; the judge's published files have always
// carried it as it is, and keep their bytes.
enum class JsonDel { Escaped, AsIs };

// A JSON string literal, quotes included: control characters escaped, valid UTF-8.
std::string jsonString(std::string_view bytes, JsonDel del = JsonDel::Escaped);

// A JSON document built in order. Objects and arrays nest; the writer puts the commas,
// and indents two blanks per level so that the output also reads well.
class JsonWriter {
public:
    explicit JsonWriter(JsonDel del = JsonDel::Escaped) : del_(del) {}

    // A compact object or array stays on one line, with all that it holds.
    JsonWriter& beginObject(bool compact = false) { return open('{', compact); }
    JsonWriter& endObject() { return close('}'); }
    JsonWriter& beginArray(bool compact = false) { return open('[', compact); }
    JsonWriter& endArray() { return close(']'); }
    JsonWriter& key(std::string_view name); // inside an object, before each value
    JsonWriter& value(std::string_view text);
    JsonWriter& value(const char* text) { return value(std::string_view(text)); }
    JsonWriter& value(long long number);
    JsonWriter& value(int number) { return value(static_cast<long long>(number)); }
    // Every unsigned width by name: std::size_t is unsigned long on Linux and unsigned
    // int on 32-bit Windows, and a width without an exact match would be ambiguous.
    JsonWriter& value(unsigned number) { return value(static_cast<long long>(number)); }
    JsonWriter& value(unsigned long number) { return value(static_cast<long long>(number)); }
    JsonWriter& value(unsigned long long number) { return value(static_cast<long long>(number)); }
    JsonWriter& value(bool flag);
    JsonWriter& null();
    // A number that may be missing: null when it is.
    template <typename Number>
    JsonWriter& value(const std::optional<Number>& number)
    {
        return number ? value(*number) : null();
    }

    // The document (what is left of it after drain), with a line end after it.
    std::string str() const { return out_ + "\n"; }
    // What was written since the last drain, so that a large document can be passed on
    // piece by piece while it goes on.
    std::string drain();

private:
    void beforeValue();
    JsonWriter& open(char bracket, bool compact);
    JsonWriter& close(char bracket);

    struct Level {
        bool hasItems = false;
        bool compact = false;
    };
    std::string out_;
    std::vector<Level> levels_; // one per open object or array
    bool afterKey_ = false;
    JsonDel del_;
};

// The log a document of korvane's speaks of; score and tours open theirs alike.
struct JsonLogHead {
    std::string logPath, logFormat, ownCall;
    std::size_t qsosRead = 0, recordsSkipped = 0;
    std::size_t leftOutBeforeStart = 0, leftOutAfterEnd = 0; // outside --start and --end
};

// Writes "log" (file, format, qsos_read, records_skipped, left_out_before_start,
// left_out_after_end) and "own_call" into the open object.
void writeLogHead(JsonWriter& json, const JsonLogHead& head);

// One CSV field (RFC 4180): quoted when it holds a comma, a quote, CR or LF, or begins
// or ends with a blank; valid UTF-8.
std::string csvField(std::string_view bytes);

// Fields joined by commas, with a line end.
std::string csvRow(const std::vector<std::string>& fields);

} // namespace korvane
