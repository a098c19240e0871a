#pragma once
// Console output of the stand-in tools.

namespace host {

// Text written to standard output is UTF-8 (a Windows console would otherwise show it
// in its own code page).
void useUtf8Output();

} // namespace host
