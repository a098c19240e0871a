// Linux passes arguments as the terminal typed them, and opens files by those bytes.
#include "tools/host/CommandLine.h"

namespace host {

std::vector<std::string> utf8Arguments(int argc, char** argv)
{
    return std::vector<std::string>(argv, argv + argc);
}

std::string systemPath(const std::string& utf8, std::string& path)
{
    path = utf8;
    return std::string();
}

} // namespace host
