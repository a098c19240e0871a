#pragma once
// A fresh, empty working directory for one test: the plug-in's settings file and
// Cabrillo file are relative to the current directory, as in the host.

#include <filesystem>
#include <string>

class TempDir {
public:
    // withPluginsFolder: create the "Plugins" folder the settings file lives in.
    explicit TempDir(bool withPluginsFolder = true);
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path settingsPath() const { return path_ / "Plugins" / "MOLTA.ini"; }

private:
    std::filesystem::path previous_;
    std::filesystem::path path_;
};

// Whole file as bytes; empty when missing.
std::string readFileBytes(const std::filesystem::path& file);
void writeFileBytes(const std::filesystem::path& file, const std::string& bytes);
