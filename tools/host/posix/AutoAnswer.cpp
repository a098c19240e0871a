// The Linux plug-in answers its own dialogs (headless) and prints its message boxes; what
// is to be typed into them goes into the environment, where its headless backend reads it.
#include "tools/host/AutoAnswer.h"

#include <cstdlib>
#include <optional>
#include <string>

namespace host {
namespace {

// One AutoAnswer types at a time; what the variable held before it, given back afterwards.
bool gTyping = false;
std::optional<std::string> gEarlierInput;

} // namespace

// By value as on Windows, which keeps both.
AutoAnswer::AutoAnswer(Listener /*unused: nothing to answer here*/, // NOLINT(performance-unnecessary-value-param)
                       std::vector<headless_input::TypedText> typed) // NOLINT(performance-unnecessary-value-param)
{
    if (typed.empty() || gTyping)
        return;
    const char* earlier = std::getenv(headless_input::kVariable);
    gEarlierInput = earlier ? std::optional<std::string>(earlier) : std::nullopt;
    typing_ = ::setenv(headless_input::kVariable, headless_input::format(typed).c_str(), 1) == 0;
    gTyping = typing_;
}

AutoAnswer::~AutoAnswer()
{
    if (!typing_)
        return;
    if (gEarlierInput)
        ::setenv(headless_input::kVariable, gEarlierInput->c_str(), 1);
    else
        ::unsetenv(headless_input::kVariable);
    gTyping = false;
}

} // namespace host
