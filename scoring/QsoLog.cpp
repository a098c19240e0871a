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

std::uint32_t QsoLog::internKey(const std::string& key)
{
    if (key.empty()) {
        ++recordsWithEmptyKey_;
        return kNoId;
    }
    const auto [it, added] = keyIds_.emplace(key, static_cast<std::uint32_t>(keyTexts_.size()));
    if (added) {
        keyTexts_.push_back(key);
        recordsPerKey_.push_back(0);
    }
    ++recordsPerKey_[it->second];
    return it->second;
}

void QsoLog::add(QsoRecord record)
{
    const std::uint64_t id = nextId_++;
    tours_[indexKey(record.call, record.band, record.mode)].push_back(
        TourEntry{id, tourOf(record.qsoTime)});
    const auto band =
        bandIds_.emplace(record.band, static_cast<std::uint32_t>(bandIds_.size())).first;
    keys_.push_back(RecordKeys{band->second, internKey(record.multiplierKey), !record.call.empty()});
    ids_.push_back(id);
    records_.push_back(std::move(record));
}

bool QsoLog::removeFirst(const std::string& call, const std::string& mode,
                         const std::string& band)
{
    const auto found = tours_.find(indexKey(call, band, mode));
    if (found == tours_.end())
        return false;
    std::vector<TourEntry>& entries = found->second;
    const std::uint64_t id = entries.front().id;
    entries.erase(entries.begin());
    if (entries.empty())
        tours_.erase(found);

    const auto at = std::lower_bound(ids_.begin(), ids_.end(), id);
    const auto index = at - ids_.begin();
    const std::uint32_t keyId = keys_[static_cast<std::size_t>(index)].keyId;
    if (keyId != kNoId)
        --recordsPerKey_[keyId];
    else
        --recordsWithEmptyKey_;
    records_.erase(records_.begin() + index);
    keys_.erase(keys_.begin() + index);
    ids_.erase(at);
    return true;
}

void QsoLog::clear()
{
    // A fresh log releases the storage, as a new run of the host would find it.
    const std::uint64_t nextEpoch = epoch_ + 1;
    *this = QsoLog();
    epoch_ = nextEpoch;
}

std::uint32_t QsoLog::bandId(const std::string& band) const
{
    const auto found = bandIds_.find(band);
    return found == bandIds_.end() ? kNoId : found->second;
}

std::uint32_t QsoLog::multiplierKeyId(const std::string& key) const
{
    const auto found = keyIds_.find(key);
    return found == keyIds_.end() ? kNoId : found->second;
}

bool QsoLog::hasQsoInTour(const std::string& call, const std::string& band,
                          const std::string& mode, int tour) const
{
    if (tour == kNoTour)
        return false;
    const auto found = tours_.find(indexKey(call, band, mode));
    if (found == tours_.end())
        return false;
    return std::any_of(found->second.begin(), found->second.end(),
                       [tour](const TourEntry& e) { return e.tour == tour; });
}

bool QsoLog::hasMultiplierKey(const std::string& key) const
{
    if (key.empty())
        return recordsWithEmptyKey_ != 0;
    const auto found = keyIds_.find(key);
    return found != keyIds_.end() && recordsPerKey_[found->second] != 0;
}
