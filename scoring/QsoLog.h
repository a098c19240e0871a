#pragma once
// The plug-in's own copy of the contest log, oldest first, with what lets the tour
// check and the summary run without rescanning texts: every band and multiplier key is
// interned to a small number when its record is added, and an index maps call, band
// and mode to the tours of their records.

#include "scoring/QsoRecord.h"

#include <cstdint>
#include <deque>
#include <string>
#include <unordered_map>
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

    void add(QsoRecord record);

    // Deletes the oldest record with this call, mode and band (exact bytes), closing
    // the gap. False when there is none.
    bool removeFirst(const std::string& call, const std::string& mode, const std::string& band);

    void clear();

    std::size_t size() const { return records_.size(); }
    const QsoRecord& operator[](std::size_t i) const { return records_[i]; }
    const std::deque<QsoRecord>& records() const { return records_; }
    const std::vector<RecordKeys>& keys() const { return keys_; }

    // kNoId for a band text never added since the last clear; ids are below bandIdCount().
    std::uint32_t bandId(const std::string& band) const;
    std::size_t bandIdCount() const { return bandIds_.size(); }
    // Multiplier keys interned since the last clear; an empty key is never interned.
    std::size_t multiplierKeyCount() const { return keyTexts_.size(); }
    const std::string& multiplierKeyText(std::uint32_t keyId) const { return keyTexts_[keyId]; }
    // kNoId for a key never added since the last clear.
    std::uint32_t multiplierKeyId(const std::string& key) const;
    // Changes at every clear, when interned ids start again from 0.
    std::uint64_t epoch() const { return epoch_; }

    // Half-hour slot of the day, 0 to 47, or kNoTour for a time without an hour.
    static constexpr int kNoTour = -1;
    static int tourOf(const COleDateTime& time);

    // True when a record with this call, band and mode lies in the given tour.
    bool hasQsoInTour(const std::string& call, const std::string& band, const std::string& mode,
                      int tour) const;
    // True when some record's multiplierKey equals key.
    bool hasMultiplierKey(const std::string& key) const;

private:
    struct TourEntry {
        std::uint64_t id;
        int tour;
    };
    static std::string indexKey(const std::string& call, const std::string& band,
                                const std::string& mode);
    std::uint32_t internKey(const std::string& key);

    // A deque: adding never moves the whole log (no stall when a vector would grow), and
    // removing the oldest record moves nothing.
    std::deque<QsoRecord> records_;
    std::vector<RecordKeys> keys_;
    std::vector<std::uint64_t> ids_; // increasing, parallel to records_
    std::uint64_t nextId_ = 0;
    std::uint64_t epoch_ = 0;
    std::unordered_map<std::string, std::uint32_t> bandIds_;
    std::unordered_map<std::string, std::uint32_t> keyIds_;
    std::vector<std::string> keyTexts_; // by id: contiguous, read in id order by summaries
    std::vector<std::uint32_t> recordsPerKey_;
    std::size_t recordsWithEmptyKey_ = 0;
    // Per call, band and mode: the records' ids (oldest first) and tours.
    std::unordered_map<std::string, std::vector<TourEntry>> tours_;
};
