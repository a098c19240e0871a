#include "tools/korvane/ReportFile.h"

#include "cabrillo/ReportText.h"

#include <fstream>
#include <vector>

namespace korvane {

namespace fs = std::filesystem;

ReportFile::ReportFile(fs::path folder) : folder_(std::move(folder)), before_(snapshot()) {}

std::map<fs::path, ReportFile::Stamp> ReportFile::snapshot() const
{
    std::map<fs::path, Stamp> files;
    std::error_code ec;
    for (fs::directory_iterator it(folder_, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code ignored;
        if (it->path().extension() == ".cbr" && it->is_regular_file(ignored))
            files[it->path()] = {fs::last_write_time(it->path(), ignored), it->file_size(ignored)};
    }
    return files;
}

bool ReportFile::find(std::size_t expectedQsoLines, fs::path* written, std::string* problem) const
{
    std::vector<fs::path> changed;
    for (const auto& [path, stamp] : snapshot()) {
        const auto old = before_.find(path);
        if (old == before_.end() || old->second != stamp)
            changed.push_back(path);
    }
    if (changed.size() != 1) {
        *problem = changed.empty() ? "the plug-in wrote no .cbr file in " + folder_.string()
                                   : std::to_string(changed.size()) + " .cbr files changed in " +
                                         folder_.string();
        return false;
    }
    *written = changed.front();
    const std::size_t lines = countQsoLines(*written);
    if (lines != expectedQsoLines) {
        *problem = written->string() + " holds " + std::to_string(lines) + " QSO lines, not " +
                   std::to_string(expectedQsoLines);
        return false;
    }
    return true;
}

std::string reportTargetProblem(const std::string& logPath, const std::string& workdir,
                                const std::string& ownCall, std::string* note)
{
    std::error_code ec;
    const fs::path folder = workdir.empty() ? fs::current_path(ec) : fs::absolute(workdir, ec);
    const fs::path target = folder / (cabrillo::fileBaseName(ownCall) + ".cbr");
    // Identity, not spelling: "./PA7F.cbr", "../dir/PA7F.cbr" and a link to it are the
    // same file; equivalent fails (false) when either does not exist.
    if (fs::equivalent(logPath, target, ec))
        return "the plug-in would write its report " + target.filename().string() + " over " +
               logPath + ", the log being read; korvane never writes over its input: give "
               "another folder with --workdir";
    if (fs::exists(target, ec) && !fs::is_directory(target, ec))
        *note = target.string() + " exists; the report replaces it";
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
