#pragma once
// Every page of the robot in one frame: the title, the links, one stylesheet from
// /style.css and, where a page asks for it, /robot.js. Nothing inline, so that
// Content-Security-Policy default-src 'self' holds. Text becomes HTML only through html().

#include <string>
#include <string_view>

namespace korvane::robot {

// Text fit for element content and quoted attribute values.
std::string html(std::string_view text);

// The whole page; body is HTML already.
std::string pageHtml(const std::string& title, const std::string& body, bool withScript = false);

// A page of one heading and one sentence, for refusals and errors.
std::string messagePage(const std::string& title, const std::string& sentence);

// "2 days 3 h 04 min" for a count of seconds left.
std::string durationText(long long seconds);

} // namespace korvane::robot
