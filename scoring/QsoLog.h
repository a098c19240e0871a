#pragma once
// The plug-in's own copy of the contest log, oldest first, with what lets the tour
// check and the summary run without rescanning texts: every call, band, mode and
// multiplier key is interned to a small number when its record is added, and each
// call keeps the band, mode and tour of its records.

#include "scoring/QsoRecord.h"

#include <cstdint>
#include <deque>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

class QsoLog {
public:
    // Per record, parallel to records(): its interned band and multiplier key, kept
    // small so that a summary pass reads little memory.
    struct RecordKeys {
        std::uint32_t bandId;
        std::uint32_t keyId; // kNoId for an empty multiplier key
        bool hasCall;        // the call is not empty
    };
    static constexpr std::uint32_t kNoId = 0xffffffffu;

    QsoLog() = default;
    // Interned texts are the maps' own keys: a copy would point into the original.
    QsoLog(const QsoLog&) = delete;
    QsoLog& operator=(const QsoLog&) = delete;
    QsoLog(QsoLog&&) = default;
    QsoLog& operator=(QsoLog&&) = default;

    // Each of add, removeFirst and clear either does all its work or, when it throws
    // (out of memory), leaves the log exactly as it was.
    void add(QsoRecord record);

    // Deletes the oldest record with this call, mode and band (exact bytes), closing
    // the gap. False when there is none. Allocates nothing, so it cannot fail.
    bool removeFirst(const std::string& call, const std::string& mode, const std::string& band);

    void clear();

    std::size_t size() const { return records_.size(); }
    const QsoRecord& operator[](std::size_t i) const { return records_[i]; }
    const std::deque<QsoRecord>& records() const { return records_; }
    const std::vector<RecordKeys>& keys() const { return keys_; }

    // kNoId for a band text never added since the last clear; ids are below bandIdCount().
    std::uint32_t bandId(const std::string& band) const;
    std::size_t bandIdCount() const { return bandIds_.size(); }
    // Key ids are below multiplierKeyCount(); an empty key has none.
    std::size_t multiplierKeyCount() const { return texts_.size(); }
    const std::string& multiplierKeyText(std::uint32_t keyId) const { return *texts_[keyId]; }
    // kNoId for a text never added since the last clear.
    std::uint32_t multiplierKeyId(const std::string& key) const;
    // Changes at every clear, when interned ids start again from 0.
    std::uint64_t epoch() const { return epoch_; }

    // True when a record with this call, band and mode lies in the given tour (Tour.h);
    // never for kNoTour.
    bool hasQsoInTour(const std::string& call, const std::string& band, const std::string& mode,
                      int tour) const;
    // True when some record's multiplierKey equals key.
    bool hasMultiplierKey(const std::string& key) const;

private:
    // One per record, linked to the next record of the same call; a removed record's
    // entry goes to a list of free entries, for the next add to take.
    struct CallEntry {
        std::uint64_t id;
        std::uint32_t bandId;
        std::uint32_t modeId;
        int tour;
        std::uint32_t next; // kNoId at the end of the chain
    };
    struct CallChain {
        std::uint32_t first = kNoId, last = kNoId; // into entries_
    };
    static std::uint32_t find(const std::unordered_map<std::string, std::uint32_t>& ids,
                              const std::string& text);

    // A deque: adding never moves the whole log (no stall when a vector would grow), and
    // removing the oldest record moves nothing.
    std::deque<QsoRecord> records_;
    std::vector<RecordKeys> keys_;
    std::vector<std::uint64_t> ids_; // increasing, parallel to records_
    std::uint64_t nextId_ = 0;
    std::uint64_t epoch_ = 0;
    std::unordered_map<std::string, std::uint32_t> bandIds_;
    std::unordered_map<std::string, std::uint32_t> modeIds_;
    // Calls and multiplier keys share one table (they are the same texts in practice).
    std::unordered_map<std::string, std::uint32_t> textIds_;
    std::vector<const std::string*> texts_;     // by id: the table's own keys
    std::vector<std::uint32_t> recordsPerKey_; // by id: records with it as multiplierKey
    std::size_t recordsWithEmptyKey_ = 0;
    // A call's records, oldest first, without a list (and an allocation) per call.
    std::vector<CallEntry> entries_;
    std::vector<CallChain> chains_; // by the call's id
    // The first free entry; the rest are linked through next. A log moved from has no
    // entries, so it has no free one either.
    struct FreeEntry {
        std::uint32_t at = kNoId;
        FreeEntry() = default;
        FreeEntry(FreeEntry&& o) noexcept : at(std::exchange(o.at, kNoId)) {}
        FreeEntry& operator=(FreeEntry&& o) noexcept
        {
            at = std::exchange(o.at, kNoId);
            return *this;
        }
    };
    FreeEntry freeEntry_;
};
