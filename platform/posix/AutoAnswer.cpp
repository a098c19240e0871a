// The Linux plug-in answers its own dialogs (headless) and prints its message boxes.
#include "platform/AutoAnswer.h"

namespace platform {

AutoAnswer::AutoAnswer(Listener) {}
AutoAnswer::~AutoAnswer() = default;

} // namespace platform
