#include "tools/judge/ResultFiles.h"

#include "tools/judge/LogQuotes.h"

#include <cstdio>
#include <filesystem>

namespace korvane::judge {
namespace {

namespace fs = std::filesystem;

// Writes what fill hands over, piece by piece.
bool writePieces(const fs::path& path, const std::function<void(const std::function<void(const std::string&)>&)>& fill,
                 std::string* error)
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

bool writeFile(const fs::path& path, const std::string& text, std::string* error)
{
    return writePieces(path, [&](const auto& sink) { sink(text); }, error);
}

} // namespace

bool writeResults(const Judgement& j, const std::string& dir, std::string* error)
{
    std::error_code ec;
    const fs::path out(dir);
    fs::create_directories(out / "reports", ec);
    if (ec) {
        *error = "cannot create " + (out / "reports").string() + ": " + ec.message();
        return false;
    }
    if (!writeFile(out / "results.txt", resultsText(j), error) ||
        !writeFile(out / "results.csv", resultsCsv(j), error) ||
        !writePieces(out / "results.json", [&](const auto& sink) { resultsJson(j, sink); }, error) ||
        !writeFile(out / "results.html", resultsHtml(j), error))
        return false;
    LogQuotes quotes(j.logs);
    for (std::uint32_t s = 0; s < j.logs.stations.size(); ++s)
        if (!writeFile(out / "reports" / reportFileName(j.logs.stations[s].call), stationReport(j, s, quotes), error))
            return false;
    return true;
}

} // namespace korvane::judge
