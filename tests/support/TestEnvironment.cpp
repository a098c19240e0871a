#include "TestEnvironment.h"

#include <cstdlib>
#include <filesystem>

std::string folderFrom(const char* variable)
{
    const char* dir = std::getenv(variable);
    return dir && std::filesystem::is_directory(dir) ? dir : "";
}
