#include "tools/robot/Secrets.h"

#include <openssl/crypto.h>
#include <openssl/evp.h>
#include <openssl/rand.h>

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

namespace korvane::robot {
namespace {

using Digest = std::array<unsigned char, 32>;

bool sha256(std::string_view bytes, Digest& out)
{
    std::unique_ptr<EVP_MD_CTX, decltype(&EVP_MD_CTX_free)> ctx(EVP_MD_CTX_new(), EVP_MD_CTX_free);
    unsigned int size = 0;
    return ctx && EVP_DigestInit_ex(ctx.get(), EVP_sha256(), nullptr) == 1 &&
           EVP_DigestUpdate(ctx.get(), bytes.data(), bytes.size()) == 1 &&
           EVP_DigestFinal_ex(ctx.get(), out.data(), &size) == 1 && size == out.size();
}

std::string hex(const unsigned char* data, std::size_t size)
{
    static const char digits[] = "0123456789abcdef";
    std::string text;
    text.reserve(size * 2);
    for (std::size_t i = 0; i < size; ++i) {
        text += digits[data[i] >> 4];
        text += digits[data[i] & 15];
    }
    return text;
}

std::string base64Url(const unsigned char* data, std::size_t size)
{
    static const char alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_";
    std::string text;
    std::uint32_t bits = 0;
    int held = 0;
    for (std::size_t i = 0; i < size; ++i) {
        bits = (bits << 8) | data[i];
        held += 8;
        while (held >= 6) {
            held -= 6;
            text += alphabet[(bits >> held) & 63];
        }
    }
    if (held > 0)
        text += alphabet[(bits << (6 - held)) & 63];
    return text;
}

} // namespace

std::string sha256Hex(std::string_view bytes)
{
    Digest d{};
    return sha256(bytes, d) ? hex(d.data(), d.size()) : std::string();
}

std::string randomUrlSafe(std::size_t bytes)
{
    std::vector<unsigned char> data(bytes);
    if (RAND_bytes(data.data(), static_cast<int>(data.size())) != 1)
        return {};
    return base64Url(data.data(), data.size());
}

std::string newReceiptId() { return randomUrlSafe(16); }

std::string newToken() { return randomUrlSafe(32); }

bool sameSecret(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && CRYPTO_memcmp(a.data(), b.data(), a.size()) == 0;
}

bool tokenHashMatches(std::string_view token, const std::string& storedHash)
{
    const std::string given = sha256Hex(token);
    // Both are hex digests of one length; only a damaged setting differs in length.
    return !given.empty() && sameSecret(given, storedHash);
}

} // namespace korvane::robot
