#pragma once
// Whether the plug-in really wrote its Cabrillo file in this run: the file must stand
// there afterwards, be new or rewritten, and hold one QSO line per QSO given.

#include <filesystem>
#include <optional>
#include <string>

namespace korvane {

class ReportFile {
public:
    // Notes the file's state before the run.
    explicit ReportFile(std::filesystem::path path);

    const std::filesystem::path& path() const { return path_; }

    // After the run: empty when the file is as expected, else what is wrong.
    std::string verify(std::size_t expectedQsoLines) const;

private:
    std::filesystem::path path_;
    std::optional<std::filesystem::file_time_type> before_;
};

// The number of lines that begin with "QSO:".
std::size_t countQsoLines(const std::filesystem::path& file);

} // namespace korvane
