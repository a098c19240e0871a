#pragma once
// The robot's few needs of cryptography, from libcrypto: digests of what was received,
// unguessable receipt ids and committee tokens, and a comparison that takes the same
// time whatever the guess.

#include <string>
#include <string_view>

namespace korvane::robot {

// Lower-case hex of the SHA-256 of the bytes.
std::string sha256Hex(std::string_view bytes);

// bytes of the system's random source in URL-safe base64 without padding; empty when the
// source fails (never a weak substitute).
std::string randomUrlSafe(std::size_t bytes);

// A receipt id: 16 random bytes, 22 characters.
std::string newReceiptId();
// The committee's token: 32 random bytes, 43 characters.
std::string newToken();

// Whether two strings are equal, in a time that depends only on their lengths.
bool sameSecret(std::string_view a, std::string_view b);

// Whether the token's SHA-256 is storedHash (hex), in time that does not depend on how
// much of a guess was right.
bool tokenHashMatches(std::string_view token, const std::string& storedHash);

} // namespace korvane::robot
