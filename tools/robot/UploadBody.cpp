#include "tools/robot/UploadBody.h"

#include "tools/robot/DeadlineServer.h"

namespace korvane::robot {

UploadBody readUploadBody(const httplib::Request& req, httplib::Response& res,
                          const httplib::ContentReader& reader, std::size_t limit)
{
    UploadBody body;
    bool tooLarge = false;
    auto into = [&](std::string& target) {
        return [&](const char* data, std::size_t length) {
            if (target.size() + length > limit) {
                tooLarge = true;
                return false;
            }
            target.append(data, length);
            return true;
        };
    };
    bool read = false;
    if (req.is_multipart_form_data()) {
        body.multipart = true;
        std::string ignored; // other fields are read and dropped, bounded all the same
        std::string* target = &ignored;
        bool fileSeen = false, textSeen = false;
        // Only the first part of each name counts: two files named "log" are not one log.
        read = reader(
            [&](const httplib::MultipartFormData& part) {
                ignored.clear();
                target = &ignored;
                if (part.name == "log" && !fileSeen)
                    target = &body.file, fileSeen = true;
                else if (part.name == "text" && !textSeen)
                    target = &body.text, textSeen = true;
                return true;
            },
            [&](const char* data, std::size_t length) { return into(*target)(data, length); });
    } else {
        read = reader(into(body.file));
    }
    // httplib refuses a body over the server's payload limit itself, with 413.
    if (tooLarge || res.status == 413)
        body.result = UploadBody::Result::TooLarge;
    else if (!read)
        body.result = UploadBody::Result::Broken;
    return body;
}

UploadBody receiveUpload(UploadLimiter& limiter, const std::string& client, const httplib::Request& req,
                         httplib::Response& res, const httplib::ContentReader& reader, std::size_t limit)
{
    const bool allowed = limiter.allow(client);
    UploadBody body = readUploadBody(req, res, reader, limit);
    if (!allowed)
        body.result = UploadBody::Result::RateLimited;
    // Refused midway, the rest of the body is still on its way: not a next request.
    if (body.result == UploadBody::Result::TooLarge || body.result == UploadBody::Result::Broken) {
        res.set_header("Connection", "close");
        DeadlineServer::closeAfterResponse();
    }
    return body;
}

} // namespace korvane::robot
