// Signing the menu's files that go into a disc image: Authenticode with a
// SHA-256 digest, made by osslsigncode with the author's certificate, each
// signed file checked against the certificate's chain before it is used.
// The certificate is checked before anything is signed.
#pragma once

#include <memory>
#include <string>

namespace medium_pack {

struct SigningSettings {
    std::string cert;          // PKCS#12 (.pfx, .p12), or PEM: the certificate and its chain
    std::string key;           // with a PEM certificate: its private key (PEM)
    std::string passwordFile;  // its first line is the password; none: no password
    std::string timestamp;     // an RFC 3161 time-stamping server; none: no time stamp
};

class Signer {
public:
    Signer();
    ~Signer();

    // Reads the certificate, its chain and its key, and checks them: the key
    // is the certificate's, the certificate is valid now and for signing
    // programs, and its chain checks. `work` is a private folder for the
    // signer's files. Empty when it can sign; else why it cannot.
    std::string Load(const SigningSettings& settings, const std::string& work);
    // Writes the chain that each signed file is checked against into the
    // work folder. Empty when it is written; else why not.
    std::string SaveChain() const;

    // The certificate's subject, and the day it expires (YYYY-MM-DD).
    std::string Subject() const;
    std::string Expires() const;

    // Why the file `from` is not signed: it is no PE image, or it carries a
    // signature of another certificate already (one of this certificate is
    // replaced). Empty when it can be signed.
    std::string Refusal(const std::string& from) const;

    // Signs `from` into the new file `to` (`from` is only read), then checks
    // `to` against the chain. Empty when both passed; else the reason.
    std::string Sign(const std::string& from, const std::string& to) const;

private:
    struct State;
    std::unique_ptr<State> m_state;
};

}  // namespace medium_pack
