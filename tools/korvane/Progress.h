#pragma once
// One progress line on stderr while the judge works: redrawn in place on a terminal,
// a few plain lines per stage when stderr goes to a file.

#include <chrono>
#include <cstddef>
#include <string>

namespace korvane::judge {

class ProgressLine {
public:
    explicit ProgressLine(bool enabled);
    void update(const char* stage, std::size_t done, std::size_t total);
    // Ends the line; the next output starts on a fresh one.
    void finish();

private:
    bool enabled_, terminal_;
    std::string stage_;
    int lastQuarter_ = -1;
    bool open_ = false;
    std::chrono::steady_clock::time_point lastDraw_{};
};

} // namespace korvane::judge
