#pragma once
// Every argument arrives in UTF-8 (host::utf8Arguments); a path goes on in the form the
// system's file functions take, given to an option with ->transform(systemPathArgument).

#include "tools/host/CommandLine.h"

#include <CLI/CLI.hpp>

#include <string>

namespace korvane {

inline std::string systemPathArgument(const std::string& utf8)
{
    std::string path;
    const std::string why = host::systemPath(utf8, path);
    if (!why.empty())
        throw CLI::ValidationError(why);
    return path;
}

} // namespace korvane
