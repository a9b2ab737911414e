// SHA-256 of a stream of bytes: the system's own hashing on Windows
// (CryptoAPI, there since Windows XP SP3), libcrypto on the host.
#pragma once

#include <cstddef>
#include <memory>
#include <string>

namespace platform {

class Sha256 {
public:
    Sha256();
    ~Sha256();
    Sha256(const Sha256&) = delete;
    Sha256& operator=(const Sha256&) = delete;

    // Adds `size` bytes; false once hashing has failed.
    bool Update(const void* data, std::size_t size);
    // The digest of everything added, as 64 lower-case hexadecimal digits;
    // empty when hashing failed. The hash takes no more bytes afterwards.
    std::string HexDigest();

private:
    struct State;
    std::unique_ptr<State> m_state;
};

}  // namespace platform
