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

// A JSON string literal, quotes included: control characters escaped, valid UTF-8.
std::string jsonString(std::string_view bytes);

// A JSON document built in order. Objects and arrays nest; the writer puts the commas,
// and indents two blanks per level so that the output also reads well.
class JsonWriter {
public:
    // A compact object or array stays on one line, with all that it holds.
    JsonWriter& beginObject(bool compact = false);
    JsonWriter& endObject();
    JsonWriter& beginArray(bool compact = false);
    JsonWriter& endArray();
    JsonWriter& key(std::string_view name); // inside an object, before each value
    JsonWriter& value(std::string_view text);
    JsonWriter& value(const char* text) { return value(std::string_view(text)); }
    JsonWriter& value(long long number);
    JsonWriter& value(int number) { return value(static_cast<long long>(number)); }
    JsonWriter& value(std::size_t number) { return value(static_cast<long long>(number)); }
    JsonWriter& value(bool flag);
    JsonWriter& null();

    // The document, with a line end after it.
    std::string str() const { return out_ + "\n"; }

private:
    void beforeValue();
    void open(char bracket, bool compact);
    void close(char bracket);

    struct Level {
        bool hasItems = false;
        bool compact = false;
    };
    std::string out_;
    std::vector<Level> levels_; // one per open object or array
    bool afterKey_ = false;
};

// One CSV field (RFC 4180): quoted when it holds a comma, a quote, CR or LF, or begins
// or ends with a blank; valid UTF-8.
std::string csvField(std::string_view bytes);

// Fields joined by commas, with a line end.
std::string csvRow(const std::vector<std::string>& fields);

} // namespace korvane
