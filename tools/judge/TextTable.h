#pragma once
// Interned texts: each distinct text gets a small number, given out in the order the
// texts are first seen, so that the same inputs in the same order give the same ids.

#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

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
    // Where text is, or the empty slot where it would go.
    std::size_t slotOf(std::string_view text, std::uint32_t hash) const;
    void grow();

    std::deque<std::string> storage_; // by id; a deque never moves its strings
    // Open addressing, at most half full: each slot holds a text's hash in its high half
    // and its id + 1 in its low half (0: empty), so that a miss rarely reads a text. Every
    // QSO's call is looked up here once while the logs are read.
    std::vector<std::uint64_t> slots_;
};

} // namespace korvane::judge
