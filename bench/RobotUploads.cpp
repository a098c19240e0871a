#include "RobotUploads.h"

#include <httplib.h>
#include <nlohmann/json.hpp>
#include <openssl/evp.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <unordered_map>

namespace bench {

using nlohmann::json;
using Clock = std::chrono::steady_clock;

namespace {

// A committee client; the load's clients need none of this.
httplib::Client committeeClient(int port, const std::string& token)
{
    httplib::Client client("127.0.0.1", port);
    client.set_read_timeout(120);
    client.set_bearer_token_auth(token.c_str());
    return client;
}

UploadResult upload(httplib::Client& client, const std::string& bytes, const std::string& from = {})
{
    UploadResult r;
    httplib::Headers headers;
    if (!from.empty())
        headers.emplace("X-Forwarded-For", from);
    const auto start = Clock::now();
    auto answer = client.Post("/api/logs", headers, bytes, "text/plain");
    r.seconds = std::chrono::duration<double>(Clock::now() - start).count();
    if (!answer) {
        r.message = "no answer: " + httplib::to_string(answer.error());
        return r;
    }
    r.status = answer->status;
    const json body = json::parse(answer->body, nullptr, false);
    if (!body.is_object()) {
        r.message = "not JSON: " + answer->body.substr(0, 200);
        return r;
    }
    r.outcome = body.value("status", "");
    r.message = body.value("message", "");
    r.sameAsBefore = body.value("same_as_before", false);
    if (body.contains("receipt") && body["receipt"].is_object()) {
        r.receiptId = body["receipt"].value("id", "");
        r.receiptSha256 = body["receipt"].value("sha256", "");
    }
    return r;
}

// A loopback address of its own for each entrant, as a proxy in front would report it.
std::string addressOf(std::size_t entrant)
{
    return "127.1." + std::to_string(entrant / 250 % 250) + "." + std::to_string(entrant % 250 + 1);
}

} // namespace

std::string sha256Hex(const std::string& bytes)
{
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int size = 0;
    EVP_Digest(bytes.data(), bytes.size(), digest, &size, EVP_sha256(), nullptr);
    static const char hex[] = "0123456789abcdef";
    std::string text;
    for (unsigned int i = 0; i < size; ++i) {
        text += hex[digest[i] >> 4];
        text += hex[digest[i] & 15];
    }
    return text;
}

UploadResult uploadLog(int port, const std::string& bytes)
{
    httplib::Client client("127.0.0.1", port);
    client.set_read_timeout(120);
    return upload(client, bytes);
}

std::vector<UploadResult> uploadAll(int port, const std::vector<std::string>& logs, unsigned clients,
                                    bool ownAddresses, double* seconds)
{
    std::vector<UploadResult> results(logs.size());
    std::atomic<std::size_t> next{0};
    std::vector<std::thread> threads;
    const auto start = Clock::now();
    for (unsigned c = 0; c < clients; ++c)
        threads.emplace_back([&] {
            httplib::Client client("127.0.0.1", port);
            client.set_read_timeout(120);
            for (std::size_t i = next++; i < logs.size(); i = next++)
                results[i] = upload(client, logs[i], ownAddresses ? addressOf(i) : std::string());
        });
    for (std::thread& t : threads)
        t.join();
    *seconds = std::chrono::duration<double>(Clock::now() - start).count();
    return results;
}

bool storedSubmissions(int port, const std::string& token, std::vector<StoredSubmission>* out,
                       std::string* error)
{
    auto client = committeeClient(port, token);
    auto answer = client.Get("/api/submissions");
    if (!answer || answer->status != 200) {
        *error = answer ? "GET /api/submissions: HTTP " + std::to_string(answer->status)
                        : "GET /api/submissions: " + httplib::to_string(answer.error());
        return false;
    }
    const json body = json::parse(answer->body, nullptr, false);
    if (!body.is_object() || !body.contains("submissions") || !body["submissions"].is_array()) {
        *error = "GET /api/submissions: no list of submissions";
        return false;
    }
    out->clear();
    for (const json& s : body["submissions"]) {
        StoredSubmission stored;
        stored.number = s.value("number", std::int64_t{0});
        stored.receiptId = s.value("receipt_id", "");
        stored.sha256 = s.value("sha256", "");
        stored.late = s.value("late", false);
        stored.accepted = s.value("accepted", true);
        out->push_back(stored);
    }
    return true;
}

bool storedBytes(int port, const std::string& token, std::int64_t number, std::string* bytes,
                 std::string* error)
{
    auto client = committeeClient(port, token);
    const std::string path = "/api/submissions/" + std::to_string(number);
    auto answer = client.Get(path.c_str());
    if (!answer || answer->status != 200) {
        *error = answer ? "GET " + path + ": HTTP " + std::to_string(answer->status)
                        : "GET " + path + ": " + httplib::to_string(answer.error());
        return false;
    }
    *bytes = std::move(answer->body);
    return true;
}

std::size_t verifyReceipts(int port, const std::string& token, const std::vector<std::string>& logs,
                           const std::vector<UploadResult>& results, std::size_t* storedCount,
                           std::vector<std::string>* faults)
{
    auto fault = [faults](const std::string& line) {
        if (faults->size() < 20)
            faults->push_back(line);
    };
    std::vector<StoredSubmission> stored;
    std::string error;
    if (!storedSubmissions(port, token, &stored, &error)) {
        fault(error);
        return 0;
    }
    *storedCount = stored.size();
    std::unordered_map<std::string, const StoredSubmission*> byReceipt;
    for (const StoredSubmission& s : stored)
        if (!s.receiptId.empty())
            byReceipt[s.receiptId] = &s;

    std::size_t intact = 0;
    for (std::size_t i = 0; i < results.size(); ++i) {
        const UploadResult& r = results[i];
        if (r.receiptId.empty())
            continue;
        const std::string sent = sha256Hex(logs[i]);
        const auto found = byReceipt.find(r.receiptId);
        if (found == byReceipt.end()) {
            fault("receipt " + r.receiptId + " (log " + std::to_string(i) + ") is not among the submissions");
            continue;
        }
        if (r.receiptSha256 != sent || found->second->sha256 != sent) {
            fault("receipt " + r.receiptId + ": SHA-256 sent " + sent + ", receipted " + r.receiptSha256 +
                  ", stored " + found->second->sha256);
            continue;
        }
        std::string bytes;
        if (!storedBytes(port, token, found->second->number, &bytes, &error)) {
            fault(error);
            continue;
        }
        if (bytes != logs[i]) {
            fault("submission " + std::to_string(found->second->number) + " differs from the bytes sent");
            continue;
        }
        ++intact;
    }
    return intact;
}

} // namespace bench
