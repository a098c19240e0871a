#pragma once
// An upload's body as it arrives, bounded: the raw body, or from a multipart form the
// file field "log" and the text field "text". Nothing past the limit is kept.

#include "tools/robot/UploadLimiter.h"

#include <httplib.h>

#include <cstddef>
#include <string>

namespace korvane::robot {

struct UploadBody {
    enum class Result : std::uint8_t { Read, RateLimited, TooLarge, Broken };
    Result result = Result::Read;
    std::string file; // the body, or the form's "log" file
    std::string text; // the form's "text" field
    bool multipart = false;

    // The log sent: the file when one came with any bytes, else the text.
    const std::string& log() const { return file.empty() ? text : file; }
};

// limit: the most bytes any one field (or the raw body) may have.
UploadBody readUploadBody(const httplib::Request& req, httplib::Response& res,
                          const httplib::ContentReader& reader, std::size_t limit);

// An upload counted against its client's limit, and its body read all the same, bounded,
// so that the connection's next request starts where this body ends. RateLimited when
// the client has sent too many.
UploadBody receiveUpload(UploadLimiter& limiter, const std::string& client, const httplib::Request& req,
                         httplib::Response& res, const httplib::ContentReader& reader, std::size_t limit);

} // namespace korvane::robot
