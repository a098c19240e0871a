#pragma once
// What every handler needs to answer: HTML and JSON bodies, the client's address (the
// proxy's word only when the robot is told it sits behind one), cookies, and the HTTP
// status of a submission's outcome.

#include "tools/robot/Robot.h"

#include <httplib.h>
#include <nlohmann/json.hpp>

#include <cstdint>
#include <optional>
#include <string>

namespace korvane::robot {

void sendHtml(httplib::Response& res, int status, const std::string& page);
void sendJson(httplib::Response& res, int status, const nlohmann::json& body);
void redirectTo(httplib::Response& res, const std::string& location); // 303 See Other

// The peer's address; behind a proxy the last X-Forwarded-For entry, the one the proxy
// added (earlier ones are the client's own say).
std::string clientAddress(const httplib::Request& req, bool behindProxy);
// Whether the client reached the proxy over TLS; never without a proxy to say so.
bool overTls(const httplib::Request& req, bool behindProxy);

// A number such as a submission's in a path or a form: digits only, above 0.
std::optional<std::int64_t> positiveNumber(const std::string& text);

// The value of a cookie in the request, or empty.
std::string cookieValue(const httplib::Request& req, const std::string& name);

// 201 receipted (200 the same bytes again), 422, 403, 413, 503, 500.
int submitHttpStatus(const SubmitOutcome& outcome);

// The JSON status word and the sentence for an HTTP error without a body of its own.
const char* errorStatusName(int status);
std::string errorSentence(int status);

} // namespace korvane::robot
