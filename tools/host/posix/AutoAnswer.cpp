// The Linux plug-in answers its own dialogs (headless) and prints its message boxes.
#include "tools/host/AutoAnswer.h"

namespace host {

AutoAnswer::AutoAnswer(Listener /*unused: nothing to answer here*/) {} // NOLINT(performance-unnecessary-value-param)
AutoAnswer::~AutoAnswer() = default;

} // namespace host
