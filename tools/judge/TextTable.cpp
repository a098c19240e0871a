#include "tools/judge/TextTable.h"

namespace korvane::judge {

std::uint32_t TextTable::intern(std::string_view text)
{
    if (auto it = ids_.find(text); it != ids_.end())
        return it->second;
    const auto id = static_cast<std::uint32_t>(storage_.size());
    storage_.emplace_back(text);
    ids_.emplace(storage_.back(), id);
    return id;
}

std::uint32_t TextTable::find(std::string_view text) const
{
    const auto it = ids_.find(text);
    return it == ids_.end() ? kNone : it->second;
}

std::size_t TextTable::bytesHeld() const
{
    std::size_t bytes = ids_.bucket_count() * sizeof(void*);
    for (const std::string& s : storage_)
        bytes += sizeof(std::string) + (s.size() > 15 ? s.capacity() + 1 : 0) +
                 sizeof(std::string_view) + sizeof(std::uint32_t) + 2 * sizeof(void*);
    return bytes;
}

} // namespace korvane::judge
