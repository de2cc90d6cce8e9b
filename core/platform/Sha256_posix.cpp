#include "Sha256.h"

#include "SystemError.h"

#include <openssl/evp.h>

namespace kvaderon::platform {

namespace {

[[noreturn]] void ThrowHashFailure() {
    throw ESystemError("Не удалось вычислить SHA-256 (libcrypto)");
}

} // namespace

struct TSha256::TState {
    EVP_MD_CTX* Context = nullptr;
    ~TState() { EVP_MD_CTX_free(Context); }
};

TSha256::TSha256() : FState(std::make_unique<TState>()) {
    FState->Context = EVP_MD_CTX_new();
    if (FState->Context == nullptr || EVP_DigestInit_ex(FState->Context, EVP_sha256(), nullptr) != 1)
        ThrowHashFailure();
}

TSha256::~TSha256() = default;

void TSha256::Update(const void* AData, std::size_t ALength) {
    if (EVP_DigestUpdate(FState->Context, AData, ALength) != 1)
        ThrowHashFailure();
}

std::string TSha256::FinishHex() {
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    if (EVP_DigestFinal_ex(FState->Context, digest, &length) != 1 ||
        EVP_DigestInit_ex(FState->Context, EVP_sha256(), nullptr) != 1)
        ThrowHashFailure();
    return DigestHex(digest, length);
}

} // namespace kvaderon::platform
