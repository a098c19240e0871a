#pragma once
// The robot's uploads in the database: each stored whole in one transaction, so that a
// receipt exists only for what was committed, and read back for the entrant's receipt,
// the public list and the committee.

#include "tools/robot/Database.h"
#include "tools/robot/Robot.h"

#include <optional>
#include <set>
#include <string>
#include <vector>

namespace korvane::robot {

struct NewSubmission {
    std::string_view bytes;
    std::string sha256, receivedUtc, clientAddress;
    const LogCheck* check = nullptr;
    long long claimedScore = 0;
    std::vector<RefusedQso> refused;
    bool late = false; // outside the window: kept without a receipt until accepted
};

struct StoreResult {
    DbFailure failure = DbFailure::None;
    std::string message;            // the database's, when it failed
    std::optional<Receipt> receipt; // none for a late upload
    bool sameAsBefore = false;
};

// A latest accepted log, as the judge and the archive take it.
struct LatestLog {
    std::string call;
    std::string text; // the Cabrillo text made from ADIF, else the bytes as received
};

class SubmissionStore {
public:
    explicit SubmissionStore(Database& db) : db_(db) {}

    // The same bytes for the same call give back the receipt they got (and make that
    // upload the call's latest again); otherwise a new row, latest for its call unless late.
    StoreResult store(const NewSubmission& upload);

    std::optional<Receipt> receipt(const std::string& id) const;
    std::vector<ReceivedLog> received() const;
    std::vector<Submission> all() const;
    std::optional<std::string> bytes(std::int64_t number) const;
    std::vector<LatestLog> latest() const;
    std::set<std::string> checklogCalls() const;

    bool setChecklog(const std::string& call, bool checklog, std::string* error);
    bool acceptLate(std::int64_t number, std::string* error);

    std::optional<std::string> setting(const std::string& key) const;
    bool setSetting(const std::string& key, const std::string& value, std::string* error);

private:
    Database& db_;
};

} // namespace korvane::robot
