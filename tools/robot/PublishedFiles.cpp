#include "tools/robot/PublishedFiles.h"

#include <openssl/evp.h>
#include <openssl/sha.h>

namespace korvane::robot {
namespace {

bool reportName(const std::string& name)
{
    if (name.empty() || name.size() > 128 || name[0] == '.')
        return false;
    for (char c : name) {
        const bool ok = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                        c == '_' || c == '.' || c == '-';
        if (!ok)
            return false;
    }
    return true;
}

bool endsWith(const std::string& text, const std::string& tail)
{
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

} // namespace

std::optional<PublishedFile> publishedFile(const std::string& folder, const std::string& rest)
{
    if (folder.empty())
        return std::nullopt;
    const std::string base = folder.back() == '/' ? folder : folder + "/";
    if (rest.empty() || rest == "results.html")
        return PublishedFile{base + "results.html", "text/html; charset=utf-8"};
    if (rest == "results.txt")
        return PublishedFile{base + rest, "text/plain; charset=utf-8"};
    if (rest == "results.csv")
        return PublishedFile{base + rest, "text/csv; charset=utf-8"};
    if (rest == "results.json")
        return PublishedFile{base + rest, "application/json"};
    const std::string reports = "reports/";
    if (rest.compare(0, reports.size(), reports) == 0) {
        const std::string name = rest.substr(reports.size());
        if (reportName(name) && endsWith(name, ".txt"))
            return PublishedFile{base + reports + name, "text/plain; charset=utf-8"};
    }
    return std::nullopt;
}

std::string publishedPagePolicy(const std::string& html)
{
    std::string policy = "default-src 'self'";
    const std::size_t open = html.find("<style>");
    const std::size_t close = open == std::string::npos ? open : html.find("</style>", open);
    if (close == std::string::npos)
        return policy;
    const std::string style = html.substr(open + 7, close - open - 7);
    unsigned char digest[SHA256_DIGEST_LENGTH];
    SHA256(reinterpret_cast<const unsigned char*>(style.data()), style.size(), digest);
    unsigned char encoded[4 * ((SHA256_DIGEST_LENGTH + 2) / 3) + 1];
    EVP_EncodeBlock(encoded, digest, SHA256_DIGEST_LENGTH);
    return policy + "; style-src 'sha256-" + reinterpret_cast<const char*>(encoded) + "'";
}

} // namespace korvane::robot
