#include "Sha256.h"

#include "SystemError.h"

#include <windows.h>

#include <bcrypt.h>

namespace kvaderon::platform {

namespace {

constexpr ULONG Sha256Length = 32;

void Check(NTSTATUS AStatus) {
    if (!BCRYPT_SUCCESS(AStatus))
        throw ESystemError("Не удалось вычислить SHA-256 (CNG)");
}

} // namespace

struct TSha256::TState {
    BCRYPT_ALG_HANDLE Algorithm = nullptr;
    BCRYPT_HASH_HANDLE Hash = nullptr;
    ~TState() {
        if (Hash != nullptr)
            BCryptDestroyHash(Hash);
        if (Algorithm != nullptr)
            BCryptCloseAlgorithmProvider(Algorithm, 0);
    }
};

TSha256::TSha256() : FState(std::make_unique<TState>()) {
    Check(BCryptOpenAlgorithmProvider(&FState->Algorithm, BCRYPT_SHA256_ALGORITHM, nullptr, 0));
    Check(BCryptCreateHash(FState->Algorithm, &FState->Hash, nullptr, 0, nullptr, 0, 0));
}

TSha256::~TSha256() = default;

void TSha256::Update(const void* AData, std::size_t ALength) {
    // BCryptHashData takes at most a ULONG of bytes at a time.
    auto* data = static_cast<PUCHAR>(const_cast<void*>(AData));
    while (ALength > 0) {
        const ULONG piece = ALength > 0x40000000 ? 0x40000000 : ULONG(ALength);
        Check(BCryptHashData(FState->Hash, data, piece, 0));
        data += piece;
        ALength -= piece;
    }
}

std::string TSha256::FinishHex() {
    unsigned char digest[Sha256Length];
    Check(BCryptFinishHash(FState->Hash, digest, Sha256Length, 0));
    BCryptDestroyHash(FState->Hash);
    FState->Hash = nullptr;
    Check(BCryptCreateHash(FState->Algorithm, &FState->Hash, nullptr, 0, nullptr, 0, 0));
    return DigestHex(digest, Sha256Length);
}

} // namespace kvaderon::platform
