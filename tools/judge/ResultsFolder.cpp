#include "tools/judge/ResultsFolder.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <set>

namespace korvane::judge {
namespace {

namespace fs = std::filesystem;

bool plainName(const std::string& name)
{
    return !name.empty() && name[0] != '.' && name.size() <= 255 &&
           std::all_of(name.begin(), name.end(), [](char c) {
               return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                      c == '.' || c == '_' || c == '-' || c == '~';
           });
}

bool judgesName(const std::string& name)
{
    const std::string reports = "reports/";
    return plainName(name) || (name.compare(0, reports.size(), reports) == 0 && plainName(name.substr(reports.size())));
}

bool writeStaged(const fs::path& path, const Fill& fill, std::string* error)
{
    std::FILE* f = std::fopen(path.string().c_str(), "wb");
    bool ok = f != nullptr;
    if (f)
        fill([&](const std::string& piece) { ok = ok && std::fwrite(piece.data(), 1, piece.size(), f) == piece.size(); });
    if (f && std::fclose(f) != 0)
        ok = false;
    if (!ok)
        *error = "cannot write " + path.string();
    return ok;
}

bool writeManifest(const fs::path& dir, const std::vector<std::string>& names, std::string* error)
{
    std::string text;
    for (const std::string& name : names)
        text += name + "\n";
    const fs::path staged = dir / (std::string(kManifestName) + ".new");
    if (!writeStaged(staged, [&](const Sink& sink) { sink(text); }, error))
        return false;
    std::error_code ec;
    fs::rename(staged, dir / kManifestName, ec);
    if (ec)
        *error = "cannot replace " + (dir / kManifestName).string() + ": " + ec.message();
    return !ec;
}

// Whether path is folder or lies below it, both made absolute with links resolved as
// far as they exist.
bool within(const fs::path& path, const fs::path& folder)
{
    std::error_code ec;
    const fs::path p = fs::weakly_canonical(fs::absolute(path, ec), ec);
    const fs::path f = fs::weakly_canonical(fs::absolute(folder, ec), ec);
    auto pi = p.begin();
    for (auto fi = f.begin(); fi != f.end(); ++fi, ++pi) {
        if (fi->empty() && std::next(fi) == f.end())
            break; // a trailing separator
        if (pi == p.end() || *pi != *fi)
            return false;
    }
    return true;
}

} // namespace

std::string outFolderProblem(const fs::path& out, const std::vector<std::string>& inputs,
                             const std::vector<std::string>& files)
{
    std::error_code ec;
    for (const std::string& input : inputs)
        if (fs::is_directory(input, ec) && within(out, input))
            return "--out " + out.string() + " is the folder of logs " + input +
                   " or lies in it; results go elsewhere";
    for (const std::string& file : files)
        if (within(file, out))
            return "--out " + out.string() + " holds the log " + file + "; results go to a folder without logs";
    return std::string();
}

std::vector<std::string> readManifest(const fs::path& dir)
{
    std::vector<std::string> names;
    std::ifstream in(dir / kManifestName, std::ios::binary);
    std::string line;
    // Bounded: the judge never lists more than its results and one report per station.
    while (names.size() < 10000000 && std::getline(in, line))
        if (judgesName(line))
            names.push_back(line);
    return names;
}

ResultsFolder::~ResultsFolder()
{
    std::error_code ec;
    if (staging_)
        fs::remove_all(dir_ / kStagingName, ec);
}

bool ResultsFolder::begin(std::string* error)
{
    std::error_code ec;
    const fs::path staging = dir_ / kStagingName;
    // Left by a run that stopped half-way; the judge alone makes a folder by that name.
    fs::remove_all(staging, ec);
    fs::create_directories(dir_ / "reports", ec);
    if (!ec)
        fs::create_directories(staging / "reports", ec);
    if (ec) {
        *error = "cannot create " + (staging / "reports").string() + ": " + ec.message();
        return false;
    }
    staging_ = true;
    return true;
}

bool ResultsFolder::write(const std::string& name, const Fill& fill, std::string* error)
{
    if (!judgesName(name)) {
        *error = "not a name for the results folder: " + name;
        return false;
    }
    if (!writeStaged(dir_ / kStagingName / name, fill, error))
        return false;
    written_.push_back(name);
    return true;
}

bool ResultsFolder::moveIntoPlace(std::string* error)
{
    std::error_code ec;
    for (const std::string& name : written_) {
        fs::rename(dir_ / kStagingName / name, dir_ / name, ec);
        if (ec) {
            *error = "cannot move " + (dir_ / name).string() + " into place: " + ec.message();
            return false;
        }
    }
    return true;
}

void ResultsFolder::removeStale(const std::vector<std::string>& earlier) const
{
    const std::set<std::string> now(written_.begin(), written_.end());
    std::error_code ec;
    for (const std::string& name : earlier) {
        const fs::path stale = dir_ / name;
        // A link or a folder by a name the judge used is not what it wrote.
        if (!now.count(name) && fs::is_regular_file(fs::symlink_status(stale, ec)))
            fs::remove(stale, ec);
    }
}

bool ResultsFolder::commit(std::string* error)
{
    const std::vector<std::string> earlier = readManifest(dir_);
    // Listed before anything moves, so that a run stopped while moving still knows
    // every file it may have put there.
    std::vector<std::string> both = earlier;
    both.insert(both.end(), written_.begin(), written_.end());
    std::sort(both.begin(), both.end());
    both.erase(std::unique(both.begin(), both.end()), both.end());
    if (!writeManifest(dir_, both, error) || !moveIntoPlace(error))
        return false;
    removeStale(earlier);
    std::error_code ec;
    fs::remove_all(dir_ / kStagingName, ec);
    staging_ = false;
    std::vector<std::string> sorted = written_;
    std::sort(sorted.begin(), sorted.end());
    return writeManifest(dir_, sorted, error);
}

} // namespace korvane::judge
