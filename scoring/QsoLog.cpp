#include "scoring/QsoLog.h"

#include "scoring/Tour.h"

#include <algorithm>
#include <type_traits>
#include <utility>

// A removal moves the later records down and a clear moves a fresh log in; neither may
// fail half-way.
static_assert(std::is_nothrow_move_assignable_v<QsoRecord>);
static_assert(std::is_nothrow_move_assignable_v<QsoLog>);

std::uint32_t QsoLog::find(const std::unordered_map<std::string, std::uint32_t>& ids,
                           const std::string& text)
{
    const auto found = ids.find(text);
    return found == ids.end() ? kNoId : found->second;
}

namespace {

using IdMap = std::unordered_map<std::string, std::uint32_t>;

// Room for n more elements, growing geometrically as push_back would, so that the
// push_backs an add makes once nothing else can fail do not allocate.
template <typename T>
void reserveMore(std::vector<T>& v, std::size_t n)
{
    if (v.capacity() - v.size() < n)
        v.reserve(std::max(v.size() + n, 2 * v.capacity()));
}

// The texts one add puts into the id maps. Unless kept, they are taken out again when
// the add fails, so that no map gains an id that the parallel lists do not have.
class NewTexts {
public:
    NewTexts() = default;
    NewTexts(const NewTexts&) = delete;
    NewTexts& operator=(const NewTexts&) = delete;
    ~NewTexts()
    {
        // Finding and erasing by iterator throw nothing (std::hash of a string does not).
        for (std::size_t i = count_; i-- > 0;)
            added_[i].map->erase(added_[i].map->find(*added_[i].text));
    }

    struct Interned {
        std::uint32_t id;
        const std::string* text; // the map's own key, when it was added now
    };
    // The text's id, or nextId for a text not there yet (a single insert: on failure it
    // has no effect).
    Interned intern(IdMap& map, const std::string& text, std::size_t nextId)
    {
        const auto [it, added] = map.try_emplace(text, static_cast<std::uint32_t>(nextId));
        if (!added)
            return {it->second, nullptr};
        added_[count_++] = {&map, &it->first}; // elements keep their address across rehashes
        return {it->second, &it->first};
    }
    void keep() { count_ = 0; }

private:
    struct Added {
        IdMap* map;
        const std::string* text;
    };
    Added added_[4] = {}; // band, mode, call, multiplier key
    std::size_t count_ = 0;
};

} // namespace

// The lists are parallel and the maps give ids into them, so a record must go into all
// of them or none: an add that fails part-way (out of memory) would otherwise leave them
// out of step, and a later remove would delete the wrong record. Everything that can
// fail comes first and is undone on failure; what follows it cannot throw.
void QsoLog::add(QsoRecord record)
{
    const int tour = tourOf(record.qsoTime);
    const bool hasCall = !record.call.empty();
    const bool hasKey = !record.multiplierKey.empty();

    // At most two new texts: the call and a multiplier key that differs from it.
    reserveMore(keys_, 1);
    reserveMore(ids_, 1);
    reserveMore(texts_, 2);
    reserveMore(recordsPerKey_, 2);
    reserveMore(chains_, 2);
    if (freeEntry_.at == kNoId)
        reserveMore(entries_, 1);

    NewTexts added;
    const std::uint32_t band = added.intern(bandIds_, record.band, bandIds_.size()).id;
    const std::uint32_t mode = added.intern(modeIds_, record.mode, modeIds_.size()).id;
    const NewTexts::Interned call = added.intern(textIds_, record.call, texts_.size());
    NewTexts::Interned key{kNoId, nullptr};
    if (hasKey && record.multiplierKey == record.call) // the usual case: one lookup, not two
        key = {call.id, nullptr};
    else if (hasKey)
        key = added.intern(textIds_, record.multiplierKey, texts_.size() + (call.text ? 1 : 0));

    records_.push_back(std::move(record)); // the last step that can fail
    added.keep();

    // Nothing below allocates: every list has room.
    if (call.text) {
        texts_.push_back(call.text);
        recordsPerKey_.push_back(0);
        chains_.emplace_back();
    }
    if (key.text) {
        texts_.push_back(key.text);
        recordsPerKey_.push_back(0);
        chains_.emplace_back();
    }
    const std::uint64_t id = nextId_++;
    std::uint32_t entry = freeEntry_.at;
    if (entry != kNoId) {
        freeEntry_.at = entries_[entry].next;
        entries_[entry] = CallEntry{id, band, mode, tour, kNoId};
    } else {
        entry = static_cast<std::uint32_t>(entries_.size());
        entries_.push_back(CallEntry{id, band, mode, tour, kNoId});
    }
    CallChain& chain = chains_[call.id];
    (chain.last == kNoId ? chain.first : entries_[chain.last].next) = entry;
    chain.last = entry;
    if (hasKey)
        ++recordsPerKey_[key.id];
    else
        ++recordsWithEmptyKey_;
    keys_.push_back(RecordKeys{band, key.id, hasCall});
    ids_.push_back(id);
}

bool QsoLog::removeFirst(const std::string& call, const std::string& mode,
                         const std::string& band)
{
    const std::uint32_t callId = find(textIds_, call);
    const std::uint32_t bandId = find(bandIds_, band);
    const std::uint32_t modeId = find(modeIds_, mode);
    if (callId == kNoId || bandId == kNoId || modeId == kNoId)
        return false;
    CallChain& chain = chains_[callId];
    std::uint32_t before = kNoId, at = chain.first;
    while (at != kNoId && (entries_[at].bandId != bandId || entries_[at].modeId != modeId)) {
        before = at;
        at = entries_[at].next;
    }
    if (at == kNoId)
        return false;
    const std::uint64_t id = entries_[at].id;
    (before == kNoId ? chain.first : entries_[before].next) = entries_[at].next;
    if (chain.last == at)
        chain.last = before;
    entries_[at].next = std::exchange(freeEntry_.at, at);

    const auto position = std::lower_bound(ids_.begin(), ids_.end(), id);
    const auto index = position - ids_.begin();
    const std::uint32_t keyId = keys_[static_cast<std::size_t>(index)].keyId;
    if (keyId != kNoId)
        --recordsPerKey_[keyId];
    else
        --recordsWithEmptyKey_;
    records_.erase(records_.begin() + index);
    keys_.erase(keys_.begin() + index);
    ids_.erase(position);
    return true;
}

void QsoLog::clear()
{
    // A fresh log releases the storage, as a new run of the host would find it. Making it
    // is what can fail, and that happens before this log changes.
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
    for (std::uint32_t at = chains_[callId].first; at != kNoId; at = entries_[at].next) {
        const CallEntry& e = entries_[at];
        if (e.bandId == bandId && e.modeId == modeId && e.tour == tour)
            return true;
    }
    return false;
}

bool QsoLog::hasMultiplierKey(const std::string& key) const
{
    if (key.empty())
        return recordsWithEmptyKey_ != 0;
    const std::uint32_t id = find(textIds_, key);
    return id != kNoId && recordsPerKey_[id] != 0;
}
