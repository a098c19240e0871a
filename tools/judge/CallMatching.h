#pragma once
// Callsigns compared as a committee compares them: which differences are one slip of
// the hand, which suffixes are not part of the call, and which well-known calls lie one
// slip away from a call, found without comparing it with every other.

#include "tools/judge/ContestDefinition.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace korvane::judge {

// One callsign where another was meant: one character replaced, added or left out, two
// neighbouring characters swapped, or a portable-style suffix ("/P", "/M", "/3") added
// or left out.
bool oneCharacterApart(const std::string& a, const std::string& b);

// The call as the logs are matched on it: "/QRP" says how, not who, and is always
// dropped; "/P" and "/M" are dropped unless the contest counts them as part of the call.
std::string matchedCall(std::string_view call, SuffixRule rule);

// Calls held for finding those one character from a given call: each is filed under
// itself and under each form with one character left out, so a look-up costs the
// call's length, not the number of calls.
class NearCalls {
public:
    // weight: how many logs hold the call, for heaviest().
    void add(std::uint32_t id, std::string_view call, std::uint32_t weight = 0);
    // The ids added whose call is oneCharacterApart from call, each once.
    std::vector<std::uint32_t> near(std::string_view call) const;
    // Of those, the one of most weight; none when two share the most.
    std::optional<std::uint32_t> heaviest(std::string_view call) const;
    std::uint32_t weight(std::uint32_t id) const { return calls_.at(id).weight; }

private:
    struct Held {
        std::string call;
        std::uint32_t weight;
    };
    std::unordered_map<std::string, std::vector<std::uint32_t>> byForm_;
    std::unordered_map<std::uint32_t, Held> calls_;
};

} // namespace korvane::judge
