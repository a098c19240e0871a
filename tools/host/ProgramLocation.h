#pragma once
// Where the running program lives, so that a tool finds the plug-in built beside it.

#include <string>

namespace host {

// The folder of the running executable, without a trailing separator; empty if unknown.
std::string programDirectory();

} // namespace host
