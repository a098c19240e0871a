#include "tools/judge/TextTable.h"

#include <functional>

namespace korvane::judge {
namespace {

std::uint32_t hashOf(std::string_view text)
{
    const std::uint64_t h = std::hash<std::string_view>{}(text); // 32 bits on a 32-bit build
    return static_cast<std::uint32_t>(h ^ (h >> 32));
}

constexpr std::uint64_t kEmpty = 0;

std::uint64_t slotValue(std::uint32_t hash, std::uint32_t id) { return std::uint64_t{hash} << 32 | (id + 1); }

} // namespace

std::size_t TextTable::slotOf(std::string_view text, std::uint32_t hash) const
{
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t at = hash & mask;; at = (at + 1) & mask) {
        const std::uint64_t slot = slots_[at];
        if (slot == kEmpty)
            return at;
        if (static_cast<std::uint32_t>(slot >> 32) == hash &&
            storage_[static_cast<std::uint32_t>(slot) - 1] == text)
            return at;
    }
}

void TextTable::grow()
{
    // Made whole before it replaces the old one: a failed allocation leaves the table
    // as it was.
    std::vector<std::uint64_t> grown(slots_.empty() ? 64 : slots_.size() * 2, kEmpty);
    const std::size_t mask = grown.size() - 1;
    for (std::uint64_t slot : slots_) {
        if (slot == kEmpty)
            continue;
        std::size_t at = static_cast<std::uint32_t>(slot >> 32) & mask;
        while (grown[at] != kEmpty)
            at = (at + 1) & mask;
        grown[at] = slot;
    }
    slots_.swap(grown);
}

std::uint32_t TextTable::intern(std::string_view text)
{
    if ((storage_.size() + 1) * 2 > slots_.size())
        grow();
    const std::uint32_t hash = hashOf(text);
    const std::size_t at = slotOf(text, hash);
    if (slots_[at] != kEmpty)
        return static_cast<std::uint32_t>(slots_[at]) - 1;
    const auto id = static_cast<std::uint32_t>(storage_.size());
    storage_.emplace_back(text);
    slots_[at] = slotValue(hash, id);
    return id;
}

std::uint32_t TextTable::find(std::string_view text) const
{
    if (slots_.empty())
        return kNone;
    const std::uint64_t slot = slots_[slotOf(text, hashOf(text))];
    return slot == kEmpty ? kNone : static_cast<std::uint32_t>(slot) - 1;
}

std::size_t TextTable::bytesHeld() const
{
    std::size_t bytes = slots_.capacity() * sizeof(std::uint64_t);
    for (const std::string& s : storage_)
        bytes += sizeof(std::string) + (s.size() > 15 ? s.capacity() + 1 : 0);
    return bytes;
}

} // namespace korvane::judge
