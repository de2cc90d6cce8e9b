// SHA-256 of a stream of bytes, computed by the system's cryptography library: OpenSSL's
// libcrypto on POSIX systems, CNG on Windows.
#pragma once

#include <cstddef>
#include <memory>
#include <string>

namespace kvaderon::platform {

class TSha256 {
public:
    // Raises ESystemError when the library offers no SHA-256.
    TSha256();
    ~TSha256();
    TSha256(const TSha256&) = delete;
    TSha256& operator=(const TSha256&) = delete;

    void Update(const void* AData, std::size_t ALength);
    // The digest of every byte given so far, as 64 lowercase hexadecimal digits; the object starts
    // over afterwards.
    std::string FinishHex();

private:
    struct TState;
    std::unique_ptr<TState> FState;
};

// The digest of ADigestLength bytes as lowercase hexadecimal digits.
std::string DigestHex(const unsigned char* ADigest, std::size_t ADigestLength);

} // namespace kvaderon::platform
