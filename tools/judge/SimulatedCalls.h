#pragma once
// The simulation's callsigns: made in the region's formats, kept at least two edits apart
// so that a miscopied call points at one station only, and miscopied the ways operators
// miscopy them.

#include "tools/judge/SimulationRandom.h"

#include <functional>
#include <string>
#include <unordered_set>

namespace korvane::judge::simulated {

// A call without suffix: prefix, digit, one to three letters.
std::string makeBaseCall(SimulationRandom& random);

// Every call one edit from call: a character replaced, added or dropped, or two
// neighbouring characters swapped.
void forEachOneEdit(const std::string& call, const std::function<void(const std::string&)>& visit);
bool oneEditApart(const std::string& a, const std::string& b);

// The call with one edit an operator might make: a digit or a letter replaced (drawn from
// random, as contests have always been made), or (drawn from hardRandom) two neighbours
// swapped, a letter dropped or one added when swaps allows, else a letter replaced.
// Empty when the call allows none.
std::string miscopy(const std::string& call, SimulationRandom& random, SimulationRandom& hardRandom,
                    bool swaps);

// The suffix a portable, mobile or low-power station signs with.
const char* pickSuffix(SimulationRandom& random);

class CallBook {
public:
    // Takes base unless it is taken, or (when apart) one edit from a call taken.
    bool add(const std::string& base, bool apart);
    bool has(const std::string& base) const { return bases_.count(base) != 0; }
    // A miscopy of meant that is no station's call and one edit from no station but meant.
    bool pointsOnlyAt(const std::string& wrong, const std::string& meant) const;

private:
    std::unordered_set<std::string> bases_;
};

} // namespace korvane::judge::simulated
