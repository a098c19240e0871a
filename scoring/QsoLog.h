#pragma once
// The plug-in's own copy of the contest log, oldest first.

#include "scoring/QsoRecord.h"

#include <string>
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

private:
    std::vector<QsoRecord> records_;
};
