#include "tools/korvane/ReportFile.h"

#include <fstream>

namespace korvane {

namespace fs = std::filesystem;

ReportFile::ReportFile(fs::path path) : path_(std::move(path))
{
    std::error_code ec;
    const auto time = fs::last_write_time(path_, ec);
    if (!ec)
        before_ = time;
}

std::string ReportFile::verify(std::size_t expectedQsoLines) const
{
    std::error_code ec;
    const auto time = fs::last_write_time(path_, ec);
    if (ec)
        return "the plug-in wrote no " + path_.string();
    if (before_ && *before_ == time)
        return "the plug-in did not rewrite " + path_.string();
    const std::size_t lines = countQsoLines(path_);
    if (lines != expectedQsoLines)
        return path_.string() + " holds " + std::to_string(lines) + " QSO lines, not " +
               std::to_string(expectedQsoLines);
    return std::string();
}

std::size_t countQsoLines(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary);
    std::size_t count = 0;
    for (std::string line; std::getline(in, line);)
        if (line.rfind("QSO:", 0) == 0)
            ++count;
    return count;
}

} // namespace korvane
