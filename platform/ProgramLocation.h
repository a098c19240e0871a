#pragma once
// Where the running program lives, so that a tool finds the plug-in built beside it.

#include <string>

namespace platform {

// The folder of the running executable, without a trailing separator; empty if unknown.
std::string programDirectory();

// Text written to standard output is UTF-8 (a Windows console would otherwise show it
// in its own code page).
void useUtf8Output();

} // namespace platform
