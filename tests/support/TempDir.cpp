#include "TempDir.h"

#include <atomic>
#include <chrono>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

TempDir::TempDir(bool withPluginsFolder) : previous_(fs::current_path())
{
    static std::atomic<unsigned> counter{0};
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    path_ = fs::temp_directory_path() /
            ("korvane-test-" + std::to_string(stamp) + "-" + std::to_string(counter++));
    fs::create_directories(path_);
    if (withPluginsFolder)
        fs::create_directories(path_ / "Plugins");
    fs::current_path(path_);
}

TempDir::~TempDir()
{
    std::error_code ignored;
    fs::current_path(previous_, ignored);
    fs::remove_all(path_, ignored);
}

std::string readFileBytes(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

void writeFileBytes(const fs::path& file, const std::string& bytes)
{
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out << bytes;
}
