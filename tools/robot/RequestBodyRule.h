#pragma once
// What to do with a POST's body before a byte of it is read. httplib would read a chunked
// body, or one that ends only when the client closes, whole into memory, and wait for the
// close when a POST comes with no length at all; these are decided from the headers.

#include <httplib.h>

#include <cstddef>
#include <cstdint>

namespace korvane::robot {

enum class BodyRule : std::uint8_t {
    Read,           // a Content-Length within the limit, or chunked where that is taken
    Empty,          // neither Content-Length nor Transfer-Encoding: no body, per HTTP/1.1
    TooLarge,       // 413: a Content-Length over the limit
    LengthRequired, // 411: chunked where only a body of known length is taken
    Malformed,      // 400: a length that is no number, two lengths, an encoding httplib cannot read
};

// limit: the most bytes the body may have; chunked: whether the route reads the body
// itself, bounded, as it arrives.
BodyRule bodyRule(const httplib::Request& req, std::size_t limit, bool chunked);

} // namespace korvane::robot
