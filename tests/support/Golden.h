#pragma once
// Expected outputs kept as files under tests/golden/, compared byte for byte. A golden file
// holds exactly the bytes the output must have: CRLF line ends, trailing blanks, and no
// line end after the last line where the output has none (.gitattributes keeps git from
// converting them).
//
//     CHECK(golden::equalsFile(table, "score/empty-log.txt"));
//
// On a mismatch doctest prints the difference: the first line that differs, with its
// number, the expected and the actual line with \r, \n, \t and bytes outside printable
// ASCII written out, and the lines around it.

#include <ostream>
#include <string>

namespace golden {

// The outcome of one comparison: true when the bytes are equal, else what differs.
struct Match {
    std::string difference;
    explicit operator bool() const { return difference.empty(); }
};
std::ostream& operator<<(std::ostream& out, const Match& match);

// The bytes of tests/golden/<name>; a missing or unreadable file ends the test case.
std::string text(const std::string& name);

// `actual` against tests/golden/<name>.
Match equalsFile(const std::string& actual, const std::string& name);

// `actual` against an expected text, e.g. a golden with a few values replaced.
Match equalsText(const std::string& actual, const std::string& expected);

// Empty when equal; otherwise the report described above.
std::string difference(const std::string& expected, const std::string& actual);

} // namespace golden
