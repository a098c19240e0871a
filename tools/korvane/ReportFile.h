#pragma once
// Whether the plug-in really wrote its Cabrillo file in this run. The file's name is the
// plug-in's business (derived from the own call), so the work folder's .cbr files are
// compared before and after (time and size, as some systems keep times to the second):
// exactly one must be new or rewritten, with one QSO line per QSO given. Before the run,
// the plug-in's own naming tells where it will write, so that it never replaces the log
// being read.

#include <cstdint>
#include <filesystem>
#include <map>
#include <string>

namespace korvane {

class ReportFile {
public:
    // Notes the .cbr files in folder and when each was written.
    explicit ReportFile(std::filesystem::path folder);

    // After the run: true with the file written, or false with what is wrong.
    bool find(std::size_t expectedQsoLines, std::filesystem::path* written,
              std::string* problem) const;

private:
    struct Stamp {
        std::filesystem::file_time_type time;
        std::uintmax_t size = 0;
        bool operator!=(const Stamp& o) const { return time != o.time || size != o.size; }
    };
    std::map<std::filesystem::path, Stamp> snapshot() const;

    std::filesystem::path folder_;
    std::map<std::filesystem::path, Stamp> before_;
};

// Before anything is written: where the plug-in will write the report of ownCall when
// workdir (empty: the current directory) is its current directory, by the plug-in's own
// naming. Empty problem, or why korvane must not let it (the file there is the log read,
// under any name: a relative path, a link); note says when it replaces another file.
std::string reportTargetProblem(const std::string& logPath, const std::string& workdir,
                                const std::string& ownCall, std::string* note);

// The number of lines that begin with "QSO:".
std::size_t countQsoLines(const std::filesystem::path& file);

} // namespace korvane
