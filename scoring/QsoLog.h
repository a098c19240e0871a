#pragma once
// The plug-in's own copy of the contest log, oldest first, with the index that lets
// the tour check answer without scanning the log.

#include "scoring/QsoRecord.h"

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

class QsoLog {
public:
    void add(QsoRecord record);

    // Deletes the oldest record with this call, mode and band (exact bytes), closing
    // the gap. False when there is none.
    bool removeFirst(const std::string& call, const std::string& mode, const std::string& band);

    void clear();

    std::size_t size() const { return records_.size(); }
    const QsoRecord& operator[](std::size_t i) const { return records_[i]; }
    const std::vector<QsoRecord>& records() const { return records_; }

    // Half-hour slot of the day, 0 to 47, or kNoTour for a time without an hour.
    static constexpr int kNoTour = -1;
    static int tourOf(const COleDateTime& time);

    // True when a record with this call, band and mode lies in the given tour.
    bool hasQsoInTour(const std::string& call, const std::string& band, const std::string& mode,
                      int tour) const;
    // True when some record's multiplierKey equals key.
    bool hasMultiplierKey(const std::string& key) const;

private:
    struct IndexEntry {
        std::uint64_t id;
        int tour;
    };
    static std::string indexKey(const std::string& call, const std::string& band,
                                const std::string& mode);

    std::vector<QsoRecord> records_;
    std::vector<std::uint64_t> ids_; // increasing, parallel to records_
    std::uint64_t nextId_ = 0;
    // Per call, band and mode: the records' ids (oldest first) and tours.
    std::unordered_map<std::string, std::vector<IndexEntry>> byCallBandMode_;
    std::unordered_map<std::string, std::uint32_t> multiplierKeyCounts_;
};
