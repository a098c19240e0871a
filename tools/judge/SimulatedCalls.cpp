#include "tools/judge/SimulatedCalls.h"

#include <utility>

namespace korvane::judge::simulated {
namespace {

constexpr char kCallCharacters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";

char letter(SimulationRandom& random) { return static_cast<char>('A' + random.below(26)); }

std::size_t digitOf(const std::string& call) { return call.find_first_of("0123456789"); }

// The letter or digit at `at` replaced by another of its kind.
std::string replaced(const std::string& call, std::size_t at, SimulationRandom& random)
{
    std::string wrong = call;
    const bool digit = at == digitOf(call);
    while (wrong[at] == call[at])
        wrong[at] = digit ? static_cast<char>('0' + random.below(10)) : letter(random);
    return wrong;
}

bool isLetter(char c) { return c >= 'A' && c <= 'Z'; }

// Two neighbouring letters: a digit moved among the letters would make no callsign.
std::string swapped(const std::string& call, SimulationRandom& random)
{
    for (int attempt = 0; attempt < 8; ++attempt) {
        const std::size_t at = random.below(static_cast<std::uint32_t>(call.size() - 1));
        if (isLetter(call[at]) && isLetter(call[at + 1]) && call[at] != call[at + 1]) {
            std::string wrong = call;
            std::swap(wrong[at], wrong[at + 1]);
            return wrong;
        }
    }
    return std::string();
}

// The suffix letters only: a call keeps its prefix and digit.
std::string dropped(const std::string& call, SimulationRandom& random)
{
    const std::size_t digit = digitOf(call), letters = call.size() - digit - 1;
    if (letters < 2)
        return std::string();
    std::string wrong = call;
    wrong.erase(digit + 1 + random.below(static_cast<std::uint32_t>(letters)), 1);
    return wrong;
}

std::string added(const std::string& call, SimulationRandom& random)
{
    const std::size_t digit = digitOf(call), letters = call.size() - digit - 1;
    std::string wrong = call;
    wrong.insert(digit + 1 + random.below(static_cast<std::uint32_t>(letters + 1)), 1, letter(random));
    return wrong;
}

} // namespace

std::string makeBaseCall(SimulationRandom& random)
{
    static const std::pair<const char*, int> kPrefixes[] = {
        {"UA", 6}, {"RA", 5}, {"RK", 3}, {"RN", 2}, {"RV", 2}, {"RW", 2}, {"RU", 2}, {"RZ", 2},
        {"R", 2},  {"UR", 2}, {"UT", 1}, {"US", 1}, {"EW", 2}, {"EU", 1}, {"UN", 2}, {"RX", 1}};
    int total = 0;
    for (const auto& p : kPrefixes)
        total += p.second;
    int pick = random.between(0, total - 1);
    std::string call;
    for (const auto& p : kPrefixes) {
        if (pick < p.second) {
            call = p.first;
            break;
        }
        pick -= p.second;
    }
    call += static_cast<char>('0' + random.below(10));
    const std::uint32_t roll = random.below(10);
    const int letters = roll == 0 ? 1 : (roll < 4 ? 2 : 3);
    for (int i = 0; i < letters; ++i)
        call += letter(random);
    return call;
}

void forEachOneEdit(const std::string& call, const std::function<void(const std::string&)>& visit)
{
    std::string edit;
    for (std::size_t at = 0; at <= call.size(); ++at) {
        for (const char* c = kCallCharacters; *c; ++c) {
            edit = call;
            visit(edit.insert(at, 1, *c));
            if (at < call.size() && call[at] != *c) {
                edit = call;
                edit[at] = *c;
                visit(edit);
            }
        }
        if (at < call.size()) {
            edit = call;
            visit(edit.erase(at, 1));
        }
        if (at + 1 < call.size() && call[at] != call[at + 1]) {
            edit = call;
            std::swap(edit[at], edit[at + 1]);
            visit(edit);
        }
    }
}

bool oneEditApart(const std::string& a, const std::string& b)
{
    bool found = false;
    if (a.size() + 1 >= b.size() && b.size() + 1 >= a.size())
        forEachOneEdit(a, [&](const std::string& edit) { found = found || edit == b; });
    return found;
}

std::string miscopy(const std::string& call, SimulationRandom& random, SimulationRandom& hardRandom,
                    bool swaps)
{
    const std::size_t digit = digitOf(call);
    if (digit == std::string::npos || digit + 1 >= call.size())
        return std::string();
    const std::uint32_t how = random.below(100);
    if (how >= 12) {
        const std::size_t at =
            how < 27 ? digit : digit + 1 + random.below(static_cast<std::uint32_t>(call.size() - digit - 1));
        return replaced(call, at, random);
    }
    if (!swaps)
        return replaced(call, digit + 1 + hardRandom.below(static_cast<std::uint32_t>(call.size() - digit - 1)),
                        hardRandom);
    const std::uint32_t kind = hardRandom.below(4);
    if (kind < 2)
        return swapped(call, hardRandom);
    return kind == 2 ? dropped(call, hardRandom) : added(call, hardRandom);
}

const char* pickSuffix(SimulationRandom& random)
{
    const std::uint32_t roll = random.below(10);
    return roll < 6 ? "/P" : (roll < 8 ? "/M" : "/QRP");
}

bool CallBook::add(const std::string& base, bool apart)
{
    if (has(base))
        return false;
    bool near = false;
    if (apart)
        forEachOneEdit(base, [&](const std::string& edit) { near = near || has(edit); });
    return !near && bases_.insert(base).second;
}

bool CallBook::pointsOnlyAt(const std::string& wrong, const std::string& meant) const
{
    if (wrong.empty() || has(wrong))
        return false;
    bool other = false;
    forEachOneEdit(wrong, [&](const std::string& edit) { other = other || (edit != meant && has(edit)); });
    return !other;
}

} // namespace korvane::judge::simulated
