#include "tools/judge/CallMatching.h"

#include <algorithm>

namespace korvane::judge {
namespace {

// Longer calls are not real ones; their forms would cost the square of their length.
constexpr std::size_t kLongestIndexedCall = 20;

bool portableOf(const std::string& longer, const std::string& shorter)
{
    if (longer.size() < shorter.size() + 2 || longer.compare(0, shorter.size(), shorter) != 0)
        return false;
    const std::size_t tail = longer.size() - shorter.size();
    return longer[shorter.size()] == '/' && tail <= 4 &&
           longer.find('/', shorter.size() + 1) == std::string::npos;
}

bool swappedNeighbours(const std::string& a, const std::string& b, std::size_t at)
{
    return at + 1 < a.size() && a[at] == b[at + 1] && a[at + 1] == b[at] &&
           a.compare(at + 2, std::string::npos, b, at + 2, std::string::npos) == 0;
}

bool endsWith(std::string_view text, std::string_view tail)
{
    return text.size() > tail.size() && text.substr(text.size() - tail.size()) == tail;
}

} // namespace

bool oneCharacterApart(const std::string& a, const std::string& b)
{
    if (a == b)
        return false;
    if (portableOf(a, b) || portableOf(b, a))
        return true;
    const std::string& longer = a.size() >= b.size() ? a : b;
    const std::string& shorter = a.size() >= b.size() ? b : a;
    if (longer.size() - shorter.size() > 1)
        return false;
    std::size_t head = 0;
    while (head < shorter.size() && longer[head] == shorter[head])
        ++head;
    if (longer.size() == shorter.size() && swappedNeighbours(longer, shorter, head))
        return true;
    // Same length: the rest after one replaced character; else after one extra character.
    const std::size_t skip = head + 1;
    const std::size_t restShort = longer.size() == shorter.size() ? skip : head;
    return longer.compare(skip, std::string::npos, shorter, restShort, std::string::npos) == 0;
}

std::string matchedCall(std::string_view call, SuffixRule rule)
{
    std::string text(call);
    // "/QRP" wherever it stands as a whole part: "PA7F/QRP/P" is "PA7F/P".
    for (std::size_t at = 0; (at = text.find("/QRP", at)) != std::string::npos;) {
        if (at > 0 && (at + 4 == text.size() || text[at + 4] == '/'))
            text.erase(at, 4);
        else
            ++at;
    }
    while (rule == SuffixRule::Ignore && (endsWith(text, "/P") || endsWith(text, "/M")))
        text.resize(text.size() - 2);
    return text;
}

void NearCalls::add(std::uint32_t id, std::string_view call, std::uint32_t weight)
{
    if (call.size() > kLongestIndexedCall || !calls_.emplace(id, Held{std::string(call), weight}).second)
        return;
    byForm_[std::string(call)].push_back(id);
    for (std::size_t k = 0; k < call.size(); ++k) {
        std::string form(call);
        form.erase(k, 1);
        std::vector<std::uint32_t>& ids = byForm_[form];
        if (ids.empty() || ids.back() != id)
            ids.push_back(id);
    }
}

std::vector<std::uint32_t> NearCalls::near(std::string_view call) const
{
    std::vector<std::uint32_t> found;
    if (call.size() > kLongestIndexedCall)
        return found;
    auto collect = [&](const std::string& form) {
        const auto it = byForm_.find(form);
        if (it != byForm_.end())
            found.insert(found.end(), it->second.begin(), it->second.end());
    };
    const std::string whole(call);
    collect(whole);
    for (std::size_t k = 0; k < call.size(); ++k) {
        std::string form = whole;
        form.erase(k, 1);
        collect(form);
    }
    std::sort(found.begin(), found.end());
    found.erase(std::unique(found.begin(), found.end()), found.end());
    found.erase(std::remove_if(found.begin(), found.end(),
                               [&](std::uint32_t id) { return !oneCharacterApart(calls_.at(id).call, whole); }),
                found.end());
    return found;
}

std::optional<std::uint32_t> NearCalls::heaviest(std::string_view call) const
{
    std::optional<std::uint32_t> best;
    bool tie = false;
    for (std::uint32_t id : near(call)) {
        if (best && weight(id) == weight(*best)) {
            tie = true;
        } else if (!best || weight(id) > weight(*best)) {
            best = id;
            tie = false;
        }
    }
    return tie ? std::nullopt : best;
}

} // namespace korvane::judge
