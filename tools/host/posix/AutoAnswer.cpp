// The Linux plug-in answers its own dialogs (headless) and prints its message boxes; what
// is to be typed into them goes into the environment, where its headless backend reads it.
#include "tools/host/AutoAnswer.h"

#include <cstdlib>

namespace host {

// NOLINTNEXTLINE(performance-unnecessary-value-param): the Windows build keeps the listener
AutoAnswer::AutoAnswer(Listener /*unused: nothing to answer here*/,
                       std::vector<headless_input::TypedText> typed)
{
    if (typed.empty() || std::getenv(headless_input::kVariable))
        return; // another one's texts stand
    typing_ = ::setenv(headless_input::kVariable, headless_input::format(typed).c_str(), 1) == 0;
}

AutoAnswer::~AutoAnswer()
{
    if (typing_)
        ::unsetenv(headless_input::kVariable);
}

} // namespace host
