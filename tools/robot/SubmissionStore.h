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
    std::int64_t arrival = 0; // taken as it came in: the newest arrival is its call's latest
    const LogCheck* check = nullptr;
    long long claimedScore = 0; // late uploads are scored only when accepted
    std::vector<RefusedQso> refused;
    bool late = false;  // outside the window: kept without a receipt until accepted
    bool early = false; // outside it because the contest has not started
};

struct StoreResult {
    DbFailure failure = DbFailure::None;
    std::string message;            // the database's, when it failed
    std::optional<Receipt> receipt; // none for a late upload kept for the committee
    std::int64_t number = 0;        // the upload's row, for the entrant to refer to
    bool sameAsBefore = false;
};

// An upload of the same bytes for the same call, stored before.
struct PriorUpload {
    std::int64_t number = 0;
    bool receipted = false;
};

// A latest accepted log, as the judge and the archive take it.
struct LatestLog {
    std::string call;
    std::string text; // the Cabrillo text made from ADIF, else the bytes as received
};

class SubmissionStore {
public:
    explicit SubmissionStore(Database& db) : db_(db) {}

    // The same bytes for the same call give back the receipt they got; in the window they
    // count as a new arrival. Late, they change nothing: the judged log stays as it was.
    // Otherwise a new row, latest for its call when no later arrival is, unless late.
    StoreResult store(const NewSubmission& upload);
    std::optional<PriorUpload> prior(const std::string& sha256, const std::string& call) const;
    // The newest arrival stored, so that arrivals keep rising across restarts.
    std::int64_t lastArrival() const;

    std::optional<Receipt> receipt(const std::string& id) const;
    std::vector<ReceivedLog> received() const;
    std::vector<Submission> all() const;
    std::optional<std::string> bytes(std::int64_t number) const;
    std::vector<LatestLog> latest() const;
    std::set<std::string> checklogCalls() const;

    bool setChecklog(const std::string& call, bool checklog, std::string* error);
    // The committee's word: the late upload gets its receipt, its score, and is judged.
    bool acceptLate(std::int64_t number, long long claimedScore, const std::vector<RefusedQso>& refused,
                    std::string* error);

    std::optional<std::string> setting(const std::string& key) const;
    bool setSetting(const std::string& key, const std::string& value, std::string* error);

private:
    bool storeAgain(const NewSubmission& upload, std::int64_t number, std::string id, StoreResult* result, int* code);
    bool insertNew(const NewSubmission& upload, StoreResult* result, int* code);

    Database& db_;
};

} // namespace korvane::robot
