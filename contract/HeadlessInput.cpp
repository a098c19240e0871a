#include "contract/HeadlessInput.h"

namespace headless_input {
namespace {

// A decimal id from 1 to 65535, as dialog templates and controls are numbered.
int idOf(std::string_view digits)
{
    if (digits.empty() || digits.size() > 5)
        return 0;
    int id = 0;
    for (char c : digits) {
        if (c < '0' || c > '9')
            return 0;
        id = id * 10 + (c - '0');
    }
    return id <= 65535 ? id : 0;
}

bool acceptable(const TypedText& t)
{
    return t.templateId > 0 && t.templateId <= 65535 && t.controlId > 0 &&
           t.controlId <= 65535 && t.text.size() <= kMaxTextBytes &&
           t.text.find_first_of("\r\n") == std::string::npos;
}

} // namespace

std::vector<TypedText> parse(std::string_view value)
{
    std::vector<TypedText> entries;
    if (value.size() > kMaxBytes)
        return entries;
    while (!value.empty() && entries.size() < kMaxEntries) {
        const std::size_t lf = value.find('\n');
        const std::string_view line = value.substr(0, lf);
        value = lf == std::string_view::npos ? std::string_view() : value.substr(lf + 1);
        const std::size_t colon = line.find(':');
        const std::size_t equals = line.find('=');
        if (colon == std::string_view::npos || equals == std::string_view::npos || equals < colon)
            continue;
        TypedText t{idOf(line.substr(0, colon)), idOf(line.substr(colon + 1, equals - colon - 1)),
                    std::string(line.substr(equals + 1))};
        if (acceptable(t))
            entries.push_back(std::move(t));
    }
    return entries;
}

std::string format(const std::vector<TypedText>& entries)
{
    std::string value;
    for (const TypedText& t : entries)
        if (acceptable(t))
            value += std::to_string(t.templateId) + ":" + std::to_string(t.controlId) + "=" +
                     t.text + "\n";
    return value;
}

} // namespace headless_input
