#include "tools/robot/HttpReplies.h"

#include "tools/robot/ApiJson.h"

#include <charconv>

namespace korvane::robot {
namespace {

std::string trimmed(const std::string& text)
{
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

} // namespace

void sendHtml(httplib::Response& res, int status, const std::string& page)
{
    res.status = status;
    res.set_content(page, "text/html; charset=utf-8");
}

void sendJson(httplib::Response& res, int status, const nlohmann::json& body)
{
    res.status = status;
    res.set_content(jsonText(body), "application/json");
}

void redirectTo(httplib::Response& res, const std::string& location)
{
    res.status = 303;
    res.set_header("Location", location);
}

std::string clientAddress(const httplib::Request& req, bool behindProxy)
{
    if (behindProxy && req.has_header("X-Forwarded-For")) {
        const std::string chain = req.get_header_value("X-Forwarded-For");
        const std::size_t comma = chain.rfind(',');
        std::string last = trimmed(comma == std::string::npos ? chain : chain.substr(comma + 1));
        if (!last.empty() && last.size() <= 64)
            return last;
    }
    return req.remote_addr;
}

bool overTls(const httplib::Request& req, bool behindProxy)
{
    return behindProxy && trimmed(req.get_header_value("X-Forwarded-Proto")) == "https";
}

std::string cookieValue(const httplib::Request& req, const std::string& name)
{
    const std::size_t count = req.get_header_value_count("Cookie");
    for (std::size_t i = 0; i < count; ++i) {
        const std::string header = req.get_header_value("Cookie", i);
        std::size_t start = 0;
        while (start <= header.size()) {
            std::size_t end = header.find(';', start);
            if (end == std::string::npos)
                end = header.size();
            const std::string pair = trimmed(header.substr(start, end - start));
            const std::size_t equals = pair.find('=');
            if (equals != std::string::npos && pair.compare(0, equals, name) == 0 && equals == name.size())
                return pair.substr(equals + 1);
            start = end + 1;
        }
    }
    return {};
}

int submitHttpStatus(const SubmitOutcome& outcome)
{
    switch (outcome.status) {
    case SubmitOutcome::Status::Receipted: return outcome.sameAsBefore ? 200 : 201;
    case SubmitOutcome::Status::Refused: return 422;
    case SubmitOutcome::Status::WindowClosed: return 403;
    case SubmitOutcome::Status::TooLarge: return 413;
    case SubmitOutcome::Status::StorageFull: return 503;
    case SubmitOutcome::Status::Failed: break;
    }
    return 500;
}

std::optional<std::int64_t> positiveNumber(const std::string& text)
{
    std::int64_t n = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), n);
    if (ec != std::errc() || end != text.data() + text.size() || n <= 0)
        return std::nullopt;
    return n;
}

const char* errorStatusName(int status)
{
    switch (status) {
    case 400: return "bad-request";
    case 401: return "unauthorized";
    case 403: return "forbidden";
    case 404: return "not-found";
    case 405: return "method-not-allowed";
    case 411: return "length-required";
    case 413: return "too-large";
    case 429: return "rate-limited";
    case 503: return "unavailable";
    default: return "failed";
    }
}

std::string errorSentence(int status)
{
    switch (status) {
    case 400: return "The request could not be read.";
    case 401: return "This needs the committee's token.";
    case 403: return "This is not allowed.";
    case 404: return "There is nothing at this address.";
    case 405: return "This address does not take that method.";
    case 411: return "Send the body with a Content-Length.";
    case 413: return "The request is larger than the robot takes: at most 5 MB for a log, 64 KB for anything else.";
    case 429: return "Too many uploads from your address in the last minute; wait a minute and send again.";
    case 503: return "The robot cannot take this now; try again later.";
    default: return "The robot failed to answer this request.";
    }
}

} // namespace korvane::robot
