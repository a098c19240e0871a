#pragma once
// The stand-in tools' command line in UTF-8. Windows hands a console program its
// arguments in the ANSI code page, which turns what that page cannot hold into '?'
// (Cyrillic under a Western page, or under Wine with a UTF-8 locale); there they are read
// again from the UTF-16 command line. Paths then go back to the form the system's narrow
// file functions take.

#include <string>
#include <vector>

namespace host {

// argv itself where the system passes UTF-8 already.
std::vector<std::string> utf8Arguments(int argc, char** argv);

// A path typed in UTF-8, for the narrow file functions (Windows: in the ANSI code page);
// an empty problem, or why it cannot be (a character that page lacks).
std::string systemPath(const std::string& utf8, std::string& path);

} // namespace host
