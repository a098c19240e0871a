#pragma once
// Writing the published files: JSON, CSV and HTML text from log texts that may hold
// any bytes. Every writer emits valid UTF-8 (each byte that is not part of a
// well-formed sequence becomes U+FFFD), so that a strict reader never fails.

#include <string>
#include <string_view>
#include <vector>

namespace korvane::judge {

std::string validUtf8(std::string_view bytes);

// One CSV line (RFC 4180 quoting), ending in a line feed.
std::string csvLine(const std::vector<std::string>& fields);

// Text for HTML content and quoted attributes.
std::string htmlEscaped(std::string_view text);

// A JSON document written in order; the writer puts the commas and indents two blanks
// per level. A compact object or array stays on one line with all it holds.
class JsonText {
public:
    JsonText& beginObject(bool compact = false) { return open('{', compact); }
    JsonText& endObject() { return close('}'); }
    JsonText& beginArray(bool compact = false) { return open('[', compact); }
    JsonText& endArray() { return close(']'); }
    JsonText& key(std::string_view name);
    JsonText& value(std::string_view text);
    JsonText& value(const char* text) { return value(std::string_view(text)); }
    JsonText& value(const std::string& text) { return value(std::string_view(text)); }
    JsonText& value(long long number);
    JsonText& value(int number) { return value(static_cast<long long>(number)); }
    JsonText& value(unsigned number) { return value(static_cast<long long>(number)); }
    JsonText& value(unsigned long number) { return value(static_cast<long long>(number)); }
    JsonText& value(unsigned long long number) { return value(static_cast<long long>(number)); }
    JsonText& value(bool flag);
    JsonText& null();

    // The document with a line end; the writer is left empty.
    std::string take();
    // What was written since the last drain, to pass on while the document goes on.
    std::string drain();

private:
    JsonText& open(char bracket, bool compact);
    JsonText& close(char bracket);
    void beforeValue();
    void newLine();

    struct Level {
        bool hasItems = false, compact = false;
    };
    std::string out_;
    std::vector<Level> levels_;
    bool afterKey_ = false;
};

} // namespace korvane::judge
