#pragma once
// The robot's one stylesheet and one script, served from the server itself so that the
// pages fetch nothing from elsewhere. The pages work without the script: it only counts
// the time left down and follows the judge's progress.

#include <string>

namespace korvane::robot {

const std::string& styleSheet(); // /style.css
const std::string& robotScript(); // /robot.js

} // namespace korvane::robot
