#pragma once
// Publishing into a folder that may hold earlier results and the committee's own files.
// Every file is written to a new folder inside it first and only then moved into place,
// so that a failure half-way (a full disk) leaves the earlier results as they were and
// never a file cut short. A manifest lists what the judge put there: files of an earlier
// run that this one does not write again (a station gone) are removed, nothing else is.

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace korvane::judge {

inline constexpr const char* kManifestName = ".korvane-judge-files";
inline constexpr const char* kStagingName = ".korvane-judge-new";

// Hands a file's text over piece by piece.
using Sink = std::function<void(const std::string&)>;
using Fill = std::function<void(const Sink&)>;

class ResultsFolder {
public:
    explicit ResultsFolder(std::filesystem::path dir) : dir_(std::move(dir)) {}
    ~ResultsFolder(); // whatever was staged and not moved is removed
    ResultsFolder(const ResultsFolder&) = delete;
    ResultsFolder& operator=(const ResultsFolder&) = delete;

    // Creates the folder when missing and an empty staging folder in it.
    bool begin(std::string* error);
    // One file, named relative to the folder ("results.txt", "reports/UA3AA.txt").
    bool write(const std::string& name, const Fill& fill, std::string* error);
    // Moves what was written into place, removes the earlier run's files this one did
    // not write, and keeps the new manifest.
    bool commit(std::string* error);

private:
    bool moveIntoPlace(std::string* error);
    // Removes what the earlier run listed and this one did not write.
    void removeStale(const std::vector<std::string>& earlier) const;

    std::filesystem::path dir_;
    std::vector<std::string> written_;
    bool staging_ = false;
};

// Why results must not go to out, or empty: out is a folder of logs given to judge or
// lies in one, or holds one of the files judged (directly or below), where a report
// could overwrite a log or be read back as one next time.
std::string outFolderProblem(const std::filesystem::path& out, const std::vector<std::string>& inputs,
                             const std::vector<std::string>& files);

// The names a manifest lists that the judge may have written there: a plain file name,
// alone or below reports/; anything else (a path out of the folder) is never touched.
std::vector<std::string> readManifest(const std::filesystem::path& dir);

} // namespace korvane::judge
