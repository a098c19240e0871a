#pragma once
// Interned texts: each distinct text gets a small number, given out in the order the
// texts are first seen, so that the same inputs in the same order give the same ids.

#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <unordered_map>

namespace korvane::judge {

class TextTable {
public:
    TextTable() = default;
    // The map's keys point into storage_; a copy would point into the original.
    TextTable(const TextTable&) = delete;
    TextTable& operator=(const TextTable&) = delete;
    TextTable(TextTable&&) = default;
    TextTable& operator=(TextTable&&) = default;

    // The id of text, added when new.
    std::uint32_t intern(std::string_view text);
    // kNone for a text never interned.
    static constexpr std::uint32_t kNone = 0xffffffffu;
    std::uint32_t find(std::string_view text) const;

    const std::string& text(std::uint32_t id) const { return storage_[id]; }
    std::size_t size() const { return storage_.size(); }
    // Heap bytes held, roughly: texts, the map's nodes and buckets.
    std::size_t bytesHeld() const;

private:
    std::deque<std::string> storage_; // a deque never moves its strings
    std::unordered_map<std::string_view, std::uint32_t> ids_;
};

} // namespace korvane::judge
