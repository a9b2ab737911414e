#include "platform/sha256.h"

#include <cstdio>

#ifdef _WIN32
#include <windows.h>
#include <wincrypt.h>
// Windows XP SP3 has it; the headers show it only to newer targets.
#ifndef CALG_SHA_256
#define CALG_SHA_256 (ALG_CLASS_HASH | ALG_TYPE_ANY | 12)
#endif
#else
#include <openssl/evp.h>
#endif

namespace platform {

namespace {

std::string Hex(const unsigned char* digest, std::size_t size) {
    std::string text;
    char two[3];
    for (std::size_t i = 0; i < size; ++i) {
        std::snprintf(two, sizeof two, "%02x", digest[i]);
        text += two;
    }
    return text;
}

}  // namespace

#ifdef _WIN32

struct Sha256::State {
    HCRYPTPROV provider = 0;
    HCRYPTHASH hash = 0;
    ~State() {
        if (hash) CryptDestroyHash(hash);
        if (provider) CryptReleaseContext(provider, 0);
    }
};

Sha256::Sha256() : m_state(new State) {
    // The AES provider is the one that has SHA-256.
    if (!CryptAcquireContextA(&m_state->provider, nullptr, nullptr, PROV_RSA_AES,
                              CRYPT_VERIFYCONTEXT) ||
        !CryptCreateHash(m_state->provider, CALG_SHA_256, 0, 0, &m_state->hash))
        m_state->hash = 0;
}

Sha256::~Sha256() = default;

bool Sha256::Update(const void* data, std::size_t size) {
    if (!m_state->hash) return false;
    const BYTE* bytes = static_cast<const BYTE*>(data);
    while (size > 0) {
        const DWORD n = size > 0x40000000 ? 0x40000000 : static_cast<DWORD>(size);
        if (!CryptHashData(m_state->hash, bytes, n, 0)) {
            CryptDestroyHash(m_state->hash);
            m_state->hash = 0;
            return false;
        }
        bytes += n;
        size -= n;
    }
    return true;
}

std::string Sha256::HexDigest() {
    if (!m_state->hash) return "";
    BYTE digest[32];
    DWORD size = sizeof digest;
    const bool ok = CryptGetHashParam(m_state->hash, HP_HASHVAL, digest, &size, 0) &&
                    size == sizeof digest;
    CryptDestroyHash(m_state->hash);
    m_state->hash = 0;
    return ok ? Hex(digest, size) : "";
}

#else

struct Sha256::State {
    EVP_MD_CTX* context = nullptr;
    ~State() {
        if (context) EVP_MD_CTX_free(context);
    }
};

Sha256::Sha256() : m_state(new State) {
    m_state->context = EVP_MD_CTX_new();
    if (m_state->context && !EVP_DigestInit_ex(m_state->context, EVP_sha256(), nullptr)) {
        EVP_MD_CTX_free(m_state->context);
        m_state->context = nullptr;
    }
}

Sha256::~Sha256() = default;

bool Sha256::Update(const void* data, std::size_t size) {
    if (!m_state->context) return false;
    if (!EVP_DigestUpdate(m_state->context, data, size)) {
        EVP_MD_CTX_free(m_state->context);
        m_state->context = nullptr;
        return false;
    }
    return true;
}

std::string Sha256::HexDigest() {
    if (!m_state->context) return "";
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int size = 0;
    const bool ok = EVP_DigestFinal_ex(m_state->context, digest, &size) && size == 32;
    EVP_MD_CTX_free(m_state->context);
    m_state->context = nullptr;
    return ok ? Hex(digest, size) : "";
}

#endif

}  // namespace platform
