#include "tools/korvane/Progress.h"

#include <cstdio>

#if defined(_WIN32)
#include <io.h>
#define KORVANE_ISATTY(fd) _isatty(fd)
#define KORVANE_FILENO(f) _fileno(f)
#else
#include <unistd.h>
#define KORVANE_ISATTY(fd) isatty(fd)
#define KORVANE_FILENO(f) fileno(f)
#endif

namespace korvane::judge {

ProgressLine::ProgressLine(bool enabled)
    : enabled_(enabled), terminal_(KORVANE_ISATTY(KORVANE_FILENO(stderr)) != 0)
{
}

void ProgressLine::update(const char* stage, std::size_t done, std::size_t total)
{
    if (!enabled_)
        return;
    const bool newStage = stage_ != stage;
    const int quarter = total ? static_cast<int>(done * 4 / total) : 4;
    const auto now = std::chrono::steady_clock::now();
    if (terminal_) {
        // A redraw per log would cost more than the work on small logs.
        if (!newStage && done != total && now - lastDraw_ < std::chrono::milliseconds(100))
            return;
        std::fprintf(stderr, "\rkorvane judge: %s %zu/%zu   ", stage, done, total);
        open_ = true;
    } else {
        if (!newStage && quarter == lastQuarter_)
            return;
        std::fprintf(stderr, "korvane judge: %s %zu/%zu\n", stage, done, total);
    }
    std::fflush(stderr);
    stage_ = stage;
    lastQuarter_ = quarter;
    lastDraw_ = now;
}

void ProgressLine::finish()
{
    if (open_)
        std::fputc('\n', stderr);
    open_ = false;
}

} // namespace korvane::judge
