#pragma once
// A stable sort by a 64-bit key, a byte at a time from the lowest: for a million
// records or more, several times faster than comparing, and equal keys keep their order.
// Bytes that every key shares cost one counting pass and no moving.

#include <array>
#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

namespace korvane::judge {

template <typename T, typename Key>
void radixSortStable(std::vector<T>& items, Key key)
{
    if (items.size() < 2)
        return;
    std::vector<T> other(items.size());
    for (unsigned shift = 0; shift < 64; shift += 8) {
        std::array<std::size_t, 256> count{};
        for (const T& item : items)
            ++count[(key(item) >> shift) & 0xff];
        if (count[(key(items.front()) >> shift) & 0xff] == items.size())
            continue; // every key has this byte
        std::size_t at = 0;
        for (std::size_t& c : count)
            at += std::exchange(c, at);
        for (const T& item : items)
            other[count[(key(item) >> shift) & 0xff]++] = item;
        items.swap(other);
    }
}

} // namespace korvane::judge
