#include "tools/robot/RequestBodyRule.h"

#include <charconv>
#include <strings.h>

namespace korvane::robot {

BodyRule bodyRule(const httplib::Request& req, std::size_t limit, bool chunked)
{
    const std::size_t lengths = req.get_header_value_count("Content-Length");
    const std::size_t encodings = req.get_header_value_count("Transfer-Encoding");
    // Both, or either twice: two readings of where the body ends, the way requests are
    // smuggled past proxies.
    if (lengths + encodings > 1)
        return BodyRule::Malformed;
    if (encodings == 1) {
        if (strcasecmp(req.get_header_value("Transfer-Encoding").c_str(), "chunked") != 0)
            return BodyRule::Malformed;
        return chunked ? BodyRule::Read : BodyRule::LengthRequired;
    }
    if (lengths == 0)
        return BodyRule::Empty;
    const std::string text = req.get_header_value("Content-Length");
    std::uint64_t length = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), length);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size())
        return BodyRule::Malformed;
    return length > limit ? BodyRule::TooLarge : BodyRule::Read;
}

} // namespace korvane::robot
