#pragma once
// Texts that a stand-in host types into the plug-in's dialogs where there is no display
// and no operator (the headless dialog backend): they reach the plug-in in the
// environment variable STATS_HEADLESS_INPUT, one "TEMPLATE:CONTROL=TEXT" per line, both
// ids in decimal, the text in the plug-in's code page. The headless backend types each
// into the dialog of that template before the dialog answers unattended, as an operator
// would type into the control before pressing OK. The Windows build never reads it: there
// the host types into the real dialog.

#include <string>
#include <string_view>
#include <vector>

namespace headless_input {

inline constexpr const char* kVariable = "STATS_HEADLESS_INPUT";

// Bounds on what is read: a longer variable is ignored whole, later lines and longer
// texts are left out.
inline constexpr std::size_t kMaxBytes = 65536;
inline constexpr std::size_t kMaxEntries = 64;
inline constexpr std::size_t kMaxTextBytes = 9999;

struct TypedText {
    int templateId = 0;
    int controlId = 0;
    std::string text;
};

// The entries of the variable's value. A line that is not "TEMPLATE:CONTROL=TEXT" with
// ids from 1 to 65535, or whose text holds a carriage return or exceeds kMaxTextBytes, is
// ignored.
std::vector<TypedText> parse(std::string_view value);

// The value for entries; an entry that parse would ignore is left out.
std::string format(const std::vector<TypedText>& entries);

} // namespace headless_input
