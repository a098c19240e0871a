#include "scoring/QsoLog.h"

#include <algorithm>
#include <utility>

int QsoLog::tourOf(const COleDateTime& time)
{
    CivilDateTime t;
    if (!breakDown(time, t))
        return kNoTour;
    return t.hour * 2 + (t.minute >= 30 ? 1 : 0);
}

std::uint32_t QsoLog::find(const std::unordered_map<std::string, std::uint32_t>& ids,
                           const std::string& text)
{
    const auto found = ids.find(text);
    return found == ids.end() ? kNoId : found->second;
}

std::uint32_t QsoLog::internText(const std::string& text)
{
    const auto [it, added] = textIds_.emplace(text, static_cast<std::uint32_t>(texts_.size()));
    if (added) {
        texts_.push_back(&it->first);
        recordsPerKey_.push_back(0);
        byCall_.emplace_back();
    }
    return it->second;
}

void QsoLog::add(QsoRecord record)
{
    const std::uint64_t id = nextId_++;
    const std::uint32_t band =
        bandIds_.emplace(record.band, static_cast<std::uint32_t>(bandIds_.size())).first->second;
    const std::uint32_t mode =
        modeIds_.emplace(record.mode, static_cast<std::uint32_t>(modeIds_.size())).first->second;
    byCall_[internText(record.call)].push_back(CallEntry{id, band, mode, tourOf(record.qsoTime)});

    std::uint32_t key = kNoId;
    if (record.multiplierKey.empty()) {
        ++recordsWithEmptyKey_;
    } else {
        key = internText(record.multiplierKey);
        ++recordsPerKey_[key];
    }
    keys_.push_back(RecordKeys{band, key, !record.call.empty()});
    ids_.push_back(id);
    records_.push_back(std::move(record));
}

bool QsoLog::removeFirst(const std::string& call, const std::string& mode,
                         const std::string& band)
{
    const std::uint32_t callId = find(textIds_, call);
    const std::uint32_t bandId = find(bandIds_, band);
    const std::uint32_t modeId = find(modeIds_, mode);
    if (callId == kNoId || bandId == kNoId || modeId == kNoId)
        return false;
    std::vector<CallEntry>& entries = byCall_[callId];
    const auto entry = std::find_if(entries.begin(), entries.end(), [&](const CallEntry& e) {
        return e.bandId == bandId && e.modeId == modeId;
    });
    if (entry == entries.end())
        return false;
    const std::uint64_t id = entry->id;
    entries.erase(entry);

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

std::uint32_t QsoLog::bandId(const std::string& band) const { return find(bandIds_, band); }

std::uint32_t QsoLog::multiplierKeyId(const std::string& key) const { return find(textIds_, key); }

bool QsoLog::hasQsoInTour(const std::string& call, const std::string& band,
                          const std::string& mode, int tour) const
{
    if (tour == kNoTour)
        return false;
    const std::uint32_t callId = find(textIds_, call);
    const std::uint32_t bandId = find(bandIds_, band);
    const std::uint32_t modeId = find(modeIds_, mode);
    if (callId == kNoId || bandId == kNoId || modeId == kNoId)
        return false;
    const std::vector<CallEntry>& entries = byCall_[callId];
    return std::any_of(entries.begin(), entries.end(), [&](const CallEntry& e) {
        return e.bandId == bandId && e.modeId == modeId && e.tour == tour;
    });
}

bool QsoLog::hasMultiplierKey(const std::string& key) const
{
    if (key.empty())
        return recordsWithEmptyKey_ != 0;
    const std::uint32_t id = find(textIds_, key);
    return id != kNoId && recordsPerKey_[id] != 0;
}
