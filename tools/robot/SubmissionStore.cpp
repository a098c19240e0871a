#include "tools/robot/SubmissionStore.h"

#include "tools/robot/Secrets.h"

#include <nlohmann/json.hpp>

namespace korvane::robot {
namespace {

using json = nlohmann::json;

constexpr const char* kReceiptColumns =
    "receipt_id, sha256, received_utc, call, category, qsos, claimed_score, refused, late, latest, format, conversion, early";

// Plug-in messages, calls and quoted lines are a log's bytes: what is not UTF-8 is replaced.
std::string dumped(const json& value) { return value.dump(-1, ' ', false, json::error_handler_t::replace); }

std::string refusedJson(const std::vector<RefusedQso>& refused)
{
    json list = json::array();
    for (const RefusedQso& r : refused)
        list.push_back({{"line", r.line}, {"time", r.time}, {"call", r.call}, {"band", r.band}, {"mode", r.mode},
                        {"message", r.message}});
    return dumped(list);
}

std::string linesJson(const std::vector<CheckLine>& lines)
{
    json list = json::array();
    for (const CheckLine& l : lines)
        list.push_back({{"level", l.level == CheckLine::Level::Error ? "error" : "warning"},
                        {"line", l.line},
                        {"quoted", l.quoted},
                        {"message", l.message}});
    return dumped(list);
}

std::string stringsJson(const std::vector<std::string>& texts)
{
    return dumped(json(texts));
}

std::string categoriesJson(const std::vector<std::pair<std::string, std::string>>& categories)
{
    json list = json::array();
    for (const auto& [tag, value] : categories)
        list.push_back({tag, value});
    return dumped(list);
}

// Text this program wrote; a damaged row reads as empty rather than throwing.
json parsed(const std::string& text)
{
    json value = json::parse(text, nullptr, false);
    return value.is_discarded() ? json::array() : value;
}

Receipt receiptOf(const Statement& row)
{
    Receipt r;
    r.id = row.text(0);
    r.sha256 = row.text(1);
    r.receivedUtc = row.text(2);
    r.call = row.text(3);
    r.category = row.text(4);
    r.qsos = static_cast<std::size_t>(row.integer(5));
    r.claimedScore = row.integer(6);
    for (const json& q : parsed(row.text(7)))
        if (q.is_object())
            r.refused.push_back({q.value("line", std::size_t{0}), q.value("time", ""), q.value("call", ""),
                                 q.value("band", ""), q.value("mode", ""), q.value("message", "")});
    r.late = row.integer(8) != 0;
    r.replaced = row.integer(9) == 0;
    r.format = row.text(10);
    for (const json& c : parsed(row.text(11)))
        if (c.is_string())
            r.conversion.push_back(c.get<std::string>());
    r.early = row.integer(12) != 0;
    return r;
}

std::optional<Receipt> receiptById(sqlite3* db, const std::string& id)
{
    const std::string sql = std::string("SELECT ") + kReceiptColumns + " FROM submissions WHERE receipt_id = ?";
    Statement q(db, sql.c_str());
    q.bind(1, id);
    if (q.step() != SQLITE_ROW)
        return std::nullopt;
    return receiptOf(q);
}

// The first upload of these bytes for this call, a receipted one before any other.
struct SameBytes {
    std::int64_t number = 0;
    std::string receiptId; // empty: kept late, not accepted
};

std::optional<SameBytes> sameBytes(sqlite3* db, const std::string& sha256, const std::string& call)
{
    Statement same(db, "SELECT number, COALESCE(receipt_id, '') FROM submissions WHERE sha256 = ? AND call = ? "
                       "ORDER BY receipt_id IS NULL, number LIMIT 1");
    same.bind(1, sha256).bind(2, call);
    if (same.step() != SQLITE_ROW)
        return std::nullopt;
    return SameBytes{same.integer(0), same.text(1)};
}

// A new receipt id in id; false with the message when the random source failed.
bool newReceipt(std::string& id, std::string* message)
{
    id = newReceiptId();
    if (id.size() == 22)
        return true;
    *message = "no random receipt id could be made";
    return false;
}

// Makes the upload its call's only latest one.
int makeLatest(sqlite3* db, const std::string& call, std::int64_t number)
{
    Statement clear(db, "UPDATE submissions SET latest = 0 WHERE call = ? AND latest = 1 AND number <> ?");
    int code = clear.bind(1, call).bind(2, number).run();
    if (code != SQLITE_DONE)
        return code;
    Statement set(db, "UPDATE submissions SET latest = 1 WHERE number = ?");
    return set.bind(1, number).run();
}

// Two uploads of one call may commit out of the order they came in: the upload becomes
// latest only when the latest one did not arrive after it.
int makeLatestByArrival(sqlite3* db, const std::string& call, std::int64_t number, std::int64_t arrival)
{
    Statement arrived(db, "UPDATE submissions SET arrival = MAX(arrival, ?) WHERE number = ?");
    int code = arrived.bind(1, arrival).bind(2, number).run();
    if (code != SQLITE_DONE)
        return code;
    Statement newer(db, "SELECT 1 FROM submissions WHERE call = ? AND latest = 1 AND number <> ? AND arrival > ?");
    newer.bind(1, call).bind(2, number).bind(3, arrival);
    code = newer.step();
    if (code == SQLITE_ROW)
        return SQLITE_DONE;
    return code == SQLITE_DONE ? makeLatest(db, call, number) : code;
}

} // namespace

std::optional<PriorUpload> SubmissionStore::prior(const std::string& sha256, const std::string& call) const
{
    std::lock_guard<std::mutex> lock(db_.mutex());
    const std::optional<SameBytes> same = sameBytes(db_.handle(), sha256, call);
    if (!same)
        return std::nullopt;
    return PriorUpload{same->number, !same->receiptId.empty()};
}

std::int64_t SubmissionStore::lastArrival() const
{
    std::lock_guard<std::mutex> lock(db_.mutex());
    Statement q(db_.handle(), "SELECT COALESCE(MAX(arrival), 0) FROM submissions");
    return q.step() == SQLITE_ROW ? q.integer(0) : 0;
}

StoreResult SubmissionStore::store(const NewSubmission& upload)
{
    StoreResult result;
    std::lock_guard<std::mutex> lock(db_.mutex());
    int code = SQLITE_OK;
    const bool done = db_.transaction(
        [&](int* c) {
            if (const auto same = sameBytes(db_.handle(), upload.sha256, upload.check->call))
                return storeAgain(upload, same->number, same->receiptId, &result, c);
            return insertNew(upload, &result, c);
        },
        &code);
    if (!done) {
        result.failure = Database::failureOf(code) == DbFailure::None ? DbFailure::Other : Database::failureOf(code);
        if (result.message.empty())
            result.message = sqlite3_errstr(code);
        result.receipt.reset();
        result.sameAsBefore = false;
    }
    return result;
}

bool SubmissionStore::storeAgain(const NewSubmission& upload, std::int64_t number, std::string id,
                                 StoreResult* result, int* code)
{
    sqlite3* db = db_.handle();
    result->sameAsBefore = true;
    result->number = number;
    if (upload.late) {
        // Sent again after the deadline: nothing changes, not even which log is judged.
        if (!id.empty())
            result->receipt = receiptById(db, id);
        return id.empty() || result->receipt.has_value();
    }
    if (id.empty()) {
        // Kept when the window was closed, sent again now it is open: in time now.
        result->sameAsBefore = false;
        if (!newReceipt(id, &result->message))
            return false;
        Statement accept(db, "UPDATE submissions SET accepted = 1, late = 0, early = 0, receipt_id = ?, "
                             "claimed_score = ?, refused = ? WHERE number = ?");
        *code = accept.bind(1, id).bind(2, upload.claimedScore).bind(3, refusedJson(upload.refused)).bind(4, number).run();
        if (*code != SQLITE_DONE)
            return false;
    }
    *code = makeLatestByArrival(db, upload.check->call, number, upload.arrival);
    if (*code != SQLITE_DONE)
        return false;
    result->receipt = receiptById(db, id);
    return result->receipt.has_value();
}

bool SubmissionStore::insertNew(const NewSubmission& upload, StoreResult* result, int* code)
{
    sqlite3* db = db_.handle();
    const LogCheck& check = *upload.check;
    std::string id;
    if (!upload.late && !newReceipt(id, &result->message))
        return false;
    Statement insert(db, "INSERT INTO submissions(received_utc, call, client_address, format, bytes, size, sha256, "
                         "cabrillo, conversion, check_summary, category, categories, qsos, claimed_score, refused, "
                         "receipt_id, latest, late, accepted, arrival, early) "
                         "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, 0, ?, ?, ?, ?)");
    insert.bind(1, upload.receivedUtc)
        .bind(2, check.call)
        .bind(3, upload.clientAddress)
        .bind(4, check.format)
        .bindBlob(5, upload.bytes)
        .bind(6, static_cast<std::int64_t>(upload.bytes.size()))
        .bind(7, upload.sha256);
    if (check.cabrillo.empty())
        insert.bindNull(8);
    else
        insert.bind(8, check.cabrillo);
    insert.bind(9, stringsJson(check.conversion))
        .bind(10, linesJson(check.lines))
        .bind(11, check.category)
        .bind(12, categoriesJson(check.categories))
        .bind(13, static_cast<std::int64_t>(check.qsos))
        .bind(14, upload.claimedScore)
        .bind(15, refusedJson(upload.refused));
    if (id.empty())
        insert.bindNull(16);
    else
        insert.bind(16, id);
    insert.bind(17, std::int64_t{upload.late})
        .bind(18, std::int64_t{!upload.late})
        .bind(19, upload.arrival)
        .bind(20, std::int64_t{upload.early});
    *code = insert.run();
    if (*code != SQLITE_DONE)
        return false;
    result->number = sqlite3_last_insert_rowid(db);
    if (upload.late)
        return true;
    *code = makeLatestByArrival(db, check.call, result->number, upload.arrival);
    if (*code != SQLITE_DONE)
        return false;
    result->receipt = receiptById(db, id);
    return result->receipt.has_value();
}

std::optional<Receipt> SubmissionStore::receipt(const std::string& id) const
{
    std::lock_guard<std::mutex> lock(db_.mutex());
    return receiptById(db_.handle(), id);
}

std::vector<ReceivedLog> SubmissionStore::received() const
{
    std::lock_guard<std::mutex> lock(db_.mutex());
    Statement q(db_.handle(), "SELECT s.call, s.category, s.qsos, s.claimed_score, s.received_utc, "
                              "COALESCE(c.checklog, 0), s.late, s.early FROM submissions s "
                              "LEFT JOIN calls c ON c.call = s.call WHERE s.latest = 1 ORDER BY s.call");
    std::vector<ReceivedLog> logs;
    while (q.step() == SQLITE_ROW)
        logs.push_back({q.text(0), q.text(1), static_cast<std::size_t>(q.integer(2)), q.integer(3), q.text(4),
                        q.integer(5) != 0, q.integer(6) != 0, q.integer(7) != 0});
    return logs;
}

std::vector<Submission> SubmissionStore::all() const
{
    std::lock_guard<std::mutex> lock(db_.mutex());
    Statement q(db_.handle(), "SELECT number, COALESCE(receipt_id, ''), sha256, received_utc, call, category, "
                              "client_address, format, size, qsos, claimed_score, latest, late, accepted, early "
                              "FROM submissions ORDER BY number");
    std::vector<Submission> list;
    while (q.step() == SQLITE_ROW) {
        Submission s;
        s.number = q.integer(0);
        s.receiptId = q.text(1);
        s.sha256 = q.text(2);
        s.receivedUtc = q.text(3);
        s.call = q.text(4);
        s.category = q.text(5);
        s.clientAddress = q.text(6);
        s.format = q.text(7);
        s.bytes = static_cast<std::size_t>(q.integer(8));
        s.qsos = static_cast<std::size_t>(q.integer(9));
        s.claimedScore = q.integer(10);
        s.latest = q.integer(11) != 0;
        s.late = q.integer(12) != 0;
        s.accepted = q.integer(13) != 0;
        s.early = q.integer(14) != 0;
        list.push_back(std::move(s));
    }
    return list;
}

std::optional<std::string> SubmissionStore::bytes(std::int64_t number) const
{
    std::lock_guard<std::mutex> lock(db_.mutex());
    Statement q(db_.handle(), "SELECT bytes FROM submissions WHERE number = ?");
    q.bind(1, number);
    if (q.step() != SQLITE_ROW)
        return std::nullopt;
    return q.text(0);
}

std::vector<LatestLog> SubmissionStore::latest() const
{
    std::lock_guard<std::mutex> lock(db_.mutex());
    Statement q(db_.handle(), "SELECT call, COALESCE(cabrillo, bytes) FROM submissions WHERE latest = 1 ORDER BY call");
    std::vector<LatestLog> logs;
    while (q.step() == SQLITE_ROW)
        logs.push_back({q.text(0), q.text(1)});
    return logs;
}

std::set<std::string> SubmissionStore::checklogCalls() const
{
    std::lock_guard<std::mutex> lock(db_.mutex());
    Statement q(db_.handle(), "SELECT call FROM calls WHERE checklog = 1");
    std::set<std::string> calls;
    while (q.step() == SQLITE_ROW)
        calls.insert(q.text(0));
    return calls;
}

bool SubmissionStore::setChecklog(const std::string& call, bool checklog, std::string* error)
{
    std::lock_guard<std::mutex> lock(db_.mutex());
    Statement q(db_.handle(), "INSERT INTO calls(call, checklog) VALUES (?, ?) "
                              "ON CONFLICT(call) DO UPDATE SET checklog = excluded.checklog");
    const int code = q.bind(1, call).bind(2, std::int64_t{checklog}).run();
    if (code == SQLITE_DONE)
        return true;
    *error = std::string("cannot store the checklog mark: ") + sqlite3_errstr(code);
    return false;
}

bool SubmissionStore::acceptLate(std::int64_t number, long long claimedScore, const std::vector<RefusedQso>& refused,
                                 std::string* error)
{
    std::lock_guard<std::mutex> lock(db_.mutex());
    sqlite3* db = db_.handle();
    int code = SQLITE_OK;
    const bool done = db_.transaction(
        [&](int* c) {
            Statement q(db, "SELECT call, accepted FROM submissions WHERE number = ?");
            q.bind(1, number);
            if (q.step() != SQLITE_ROW) {
                *error = "there is no upload number " + std::to_string(number);
                return false;
            }
            if (q.integer(1) != 0) {
                *error = "upload " + std::to_string(number) + " is accepted already";
                return false;
            }
            const std::string call = q.text(0);
            std::string id;
            if (!newReceipt(id, error))
                return false;
            Statement accept(db, "UPDATE submissions SET accepted = 1, receipt_id = ?, claimed_score = ?, refused = ? "
                                 "WHERE number = ?");
            *c = accept.bind(1, id).bind(2, claimedScore).bind(3, refusedJson(refused)).bind(4, number).run();
            if (*c != SQLITE_DONE)
                return false;
            *c = makeLatest(db, call, number);
            return *c == SQLITE_DONE;
        },
        &code);
    if (!done && error->empty())
        *error = std::string("cannot accept the upload: ") + sqlite3_errstr(code);
    return done;
}

std::optional<std::string> SubmissionStore::setting(const std::string& key) const
{
    std::lock_guard<std::mutex> lock(db_.mutex());
    Statement q(db_.handle(), "SELECT value FROM settings WHERE key = ?");
    q.bind(1, key);
    if (q.step() != SQLITE_ROW)
        return std::nullopt;
    return q.text(0);
}

bool SubmissionStore::setSetting(const std::string& key, const std::string& value, std::string* error)
{
    std::lock_guard<std::mutex> lock(db_.mutex());
    Statement q(db_.handle(), "INSERT INTO settings(key, value) VALUES (?, ?) "
                              "ON CONFLICT(key) DO UPDATE SET value = excluded.value");
    const int code = q.bind(1, key).bind(2, value).run();
    if (code == SQLITE_DONE)
        return true;
    *error = "cannot store the setting " + key + ": " + sqlite3_errstr(code);
    return false;
}

} // namespace korvane::robot
