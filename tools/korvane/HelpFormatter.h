#pragma once
// CLI11's help, with every line kept within a terminal's 80 columns: the library writes
// each description on one line however long it is, so lines past the width are broken
// at blanks and go on under the description column.

#include <CLI/CLI.hpp>

#include <string>
#include <vector>

namespace korvane {

// Each line of text longer than width broken at blanks; a continuation starts under the
// description column of an indented (option) line, else under the line's own indent.
std::string wrapHelp(const std::string& text, std::size_t descriptionColumn, std::size_t width);

// The command among names nearest to typed by edit distance, when it is near enough to
// be a slip of the keyboard; empty otherwise.
std::string nearestCommand(const std::string& typed, const std::vector<std::string>& names);

class HelpFormatter : public CLI::Formatter {
public:
    static constexpr std::size_t kWidth = 80;

    std::string make_help(const CLI::App* app, std::string name,
                          CLI::AppFormatMode mode) const override
    {
        return wrapHelp(CLI::Formatter::make_help(app, std::move(name), mode), get_column_width(),
                        kWidth);
    }
};

} // namespace korvane
