#pragma once
// The committee's pages: the login form, and the page with every submission and the
// forms that change the robot's state, each carrying the session's CSRF token.

#include "tools/robot/Robot.h"

#include <string>
#include <vector>

namespace korvane::robot {

// refusal: why the last try failed, or empty.
std::string loginPage(const std::string& refusal = {});

struct CommitteeView {
    std::vector<Submission> submissions;
    WindowState window;
    JudgeProgress judge;
    bool resultsPublished = false;
    std::string csrf;
    std::string notice; // what the last action did
};

std::string committeePage(const CommitteeView& view);

} // namespace korvane::robot
