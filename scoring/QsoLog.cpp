#include "scoring/QsoLog.h"

#include <algorithm>
#include <utility>

std::string QsoLog::indexKey(const std::string& call, const std::string& band,
                             const std::string& mode)
{
    // Texts come from C strings, so a NUL never occurs inside them: it separates safely.
    std::string key;
    key.reserve(call.size() + band.size() + mode.size() + 2);
    key.append(call).append(1, '\0').append(band).append(1, '\0').append(mode);
    return key;
}

int QsoLog::tourOf(const COleDateTime& time)
{
    CivilDateTime t;
    if (!breakDown(time, t))
        return kNoTour;
    return t.hour * 2 + (t.minute >= 30 ? 1 : 0);
}

void QsoLog::add(QsoRecord record)
{
    const std::uint64_t id = nextId_++;
    byCallBandMode_[indexKey(record.call, record.band, record.mode)].push_back(
        IndexEntry{id, tourOf(record.qsoTime)});
    ++multiplierKeyCounts_[record.multiplierKey];
    records_.push_back(std::move(record));
    ids_.push_back(id);
}

bool QsoLog::removeFirst(const std::string& call, const std::string& mode,
                         const std::string& band)
{
    auto found = byCallBandMode_.find(indexKey(call, band, mode));
    if (found == byCallBandMode_.end())
        return false;
    std::vector<IndexEntry>& entries = found->second;
    const std::uint64_t id = entries.front().id;
    entries.erase(entries.begin());
    if (entries.empty())
        byCallBandMode_.erase(found);

    const auto at = std::lower_bound(ids_.begin(), ids_.end(), id);
    const std::size_t index = static_cast<std::size_t>(at - ids_.begin());
    auto count = multiplierKeyCounts_.find(records_[index].multiplierKey);
    if (count != multiplierKeyCounts_.end() && --count->second == 0)
        multiplierKeyCounts_.erase(count);
    records_.erase(records_.begin() + static_cast<std::ptrdiff_t>(index));
    ids_.erase(at);
    return true;
}

void QsoLog::clear()
{
    // Swapping with empty containers releases their storage, as a new log would have.
    std::vector<QsoRecord>().swap(records_);
    std::vector<std::uint64_t>().swap(ids_);
    decltype(byCallBandMode_)().swap(byCallBandMode_);
    decltype(multiplierKeyCounts_)().swap(multiplierKeyCounts_);
}

bool QsoLog::hasQsoInTour(const std::string& call, const std::string& band,
                          const std::string& mode, int tour) const
{
    if (tour == kNoTour)
        return false;
    const auto found = byCallBandMode_.find(indexKey(call, band, mode));
    if (found == byCallBandMode_.end())
        return false;
    return std::any_of(found->second.begin(), found->second.end(),
                       [tour](const IndexEntry& e) { return e.tour == tour; });
}

bool QsoLog::hasMultiplierKey(const std::string& key) const
{
    return multiplierKeyCounts_.count(key) != 0;
}
