#include "scoring/BandList.h"

#include <utility>

namespace {

std::string sortKey(const std::string& band)
{
    constexpr std::size_t kWidth = 20;
    if (band.size() >= kWidth)
        return band;
    return std::string(kWidth - band.size(), '0') + band;
}

} // namespace

bool BandList::addIfNew(const std::string& band)
{
    // One lookup per QSO. The list and the set must hold the same texts: a band in the
    // set alone would never be listed.
    const auto [at, added] = known_.insert(band);
    if (!added)
        return false;
    try {
        bands_.push_back(band);
    } catch (...) {
        known_.erase(at);
        throw;
    }
    return true;
}

void BandList::removeLast() noexcept
{
    if (bands_.empty())
        return;
    known_.erase(bands_.back());
    bands_.pop_back();
}

void BandList::clear()
{
    bands_.clear();
    known_.clear();
}

void BandList::sortDescending()
{
    const std::size_t n = bands_.size();
    std::vector<std::string> keys;
    keys.reserve(n);
    for (const auto& band : bands_)
        keys.push_back(sortKey(band));
    for (std::size_t i = 0; i + 1 < n; ++i) {
        for (std::size_t j = i + 1; j < n; ++j) {
            if (keys[i] < keys[j]) {
                std::swap(keys[i], keys[j]);
                std::swap(bands_[i], bands_[j]);
            }
        }
    }
}
