#pragma once
// Logs sent to a running robot through its JSON API, as loggers and scripts send them,
// and what the committee's side then says was stored.

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace bench {

std::string sha256Hex(const std::string& bytes);

struct UploadResult {
    int status = 0;            // HTTP status; 0 when no answer came
    double seconds = 0;        // from sending to the whole answer
    std::string outcome;       // the API's "status": "receipted", "refused", ...
    std::string message;       // the API's message, or why no answer came
    std::string receiptId, receiptSha256;
    bool sameAsBefore = false;
};

// POST /api/logs with the log as the body, on a connection of its own.
UploadResult uploadLog(int port, const std::string& bytes);

// Every log sent once by `clients` threads, each a connection of its own per upload;
// results in the order of logs. ownAddresses: each log comes from an address of its own,
// as a reverse proxy's X-Forwarded-For says (the robot then must trust it). The wall time
// of the whole run goes to *seconds.
std::vector<UploadResult> uploadAll(int port, const std::vector<std::string>& logs, unsigned clients,
                                    bool ownAddresses, double* seconds);

struct StoredSubmission {
    std::int64_t number = 0;
    std::string receiptId, sha256;
    bool late = false, accepted = true;
};

// GET /api/submissions with the committee token; false with a reason.
bool storedSubmissions(int port, const std::string& token, std::vector<StoredSubmission>* out,
                       std::string* error);
// GET /api/submissions/N: the bytes as the robot keeps them; false with a reason.
bool storedBytes(int port, const std::string& token, std::int64_t number, std::string* bytes,
                 std::string* error);

// Checks that every receipted upload is stored under its receipt with the SHA-256 of
// the bytes sent and gives those bytes back; one line per fault (at most 20) in *faults.
// Returns how many receipts were found intact; *storedCount: the submissions stored in all.
std::size_t verifyReceipts(int port, const std::string& token, const std::vector<std::string>& logs,
                           const std::vector<UploadResult>& results, std::size_t* storedCount,
                           std::vector<std::string>* faults);

} // namespace bench
