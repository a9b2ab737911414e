#include "tools/medium_pack/sign.h"

#include "tools/medium_check/pe_certificates.h"
#include "tools/medium_pack/image.h"
#include "tools/medium_pack/run.h"

#include <openssl/crypto.h>
#include <openssl/err.h>
#include <openssl/pem.h>
#include <openssl/pkcs12.h>
#include <openssl/pkcs7.h>
#include <openssl/provider.h>
#include <openssl/x509.h>
#include <openssl/x509v3.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <vector>

namespace medium_pack {
namespace {

// Certificates, keys and the rest are read whole, up to this size.
const std::size_t kLargestFile = 1 << 20;
// osslsigncode is stopped after this many seconds: it waits for a
// time-stamping server that accepts the connection and never answers.
const unsigned kLongestSigning = 60;

template <class T, void (*Free)(T*)>
struct Freer {
    void operator()(T* p) const { Free(p); }
};
template <class T, void (*Free)(T*)>
using Owned = std::unique_ptr<T, Freer<T, Free>>;
using Bio = Owned<BIO, BIO_free_all>;
using Cert = Owned<X509, X509_free>;
using Key = Owned<EVP_PKEY, EVP_PKEY_free>;
using P12 = Owned<PKCS12, PKCS12_free>;
using P7 = Owned<PKCS7, PKCS7_free>;
using Store = Owned<X509_STORE, X509_STORE_free>;
using StoreContext = Owned<X509_STORE_CTX, X509_STORE_CTX_free>;

struct CertStack {
    STACK_OF(X509)* p = sk_X509_new_null();
    ~CertStack() { sk_X509_pop_free(p, X509_free); }
};

// The file whole (a pipe too); false when it cannot be read or is over
// `most` bytes.
bool ReadWhole(const std::string& path, std::string& bytes, std::size_t most = kLargestFile) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    bytes.clear();
    char buffer[65536];
    while (bytes.size() <= most && in.read(buffer, sizeof buffer).gcount() > 0)
        bytes.append(buffer, static_cast<std::size_t>(in.gcount()));
    return !in.bad() && bytes.size() <= most;
}

Bio MemoryOf(const std::string& bytes) {
    return Bio(BIO_new_mem_buf(bytes.data(), static_cast<int>(bytes.size())));
}

// OpenSSL's last reason, and the queue emptied.
std::string LastError() {
    unsigned long code = 0, last;
    while ((last = ERR_get_error()) != 0) code = last;
    char text[256] = "";
    if (code) ERR_error_string_n(code, text, sizeof text);
    return text;
}

std::string NameOf(const X509_NAME* name) {
    Bio out(BIO_new(BIO_s_mem()));
    X509_NAME_print_ex(out.get(), name, 0, XN_FLAG_RFC2253 & ~ASN1_STRFLGS_ESC_MSB);
    char* data = nullptr;
    const long n = BIO_get_mem_data(out.get(), &data);
    return std::string(data, n > 0 ? static_cast<size_t>(n) : 0);
}

std::string DayOf(const ASN1_TIME* t) {
    std::tm tm{};
    char day[16] = "?";
    if (ASN1_TIME_to_tm(t, &tm)) std::strftime(day, sizeof day, "%Y-%m-%d", &tm);
    return day;
}

int PasswordCallback(char* buf, int size, int, void* password) {
    const std::string& text = *static_cast<const std::string*>(password);
    if (text.size() > static_cast<size_t>(size)) return -1;
    text.copy(buf, text.size());
    return static_cast<int>(text.size());
}

// Providers loaded on the way, unloaded when the signer goes (after the
// keys that may use them).
struct Providers {
    OSSL_PROVIDER* legacy = nullptr;
    OSSL_PROVIDER* fallback = nullptr;
    ~Providers() {
        if (fallback) OSSL_PROVIDER_unload(fallback);
        if (legacy) OSSL_PROVIDER_unload(legacy);
    }
};

}  // namespace

struct Signer::State {
    ~State() { OPENSSL_cleanse(&password[0], password.size()); }
    Providers providers;
    SigningSettings settings;
    bool pkcs12 = false;
    std::string password;
    Cert leaf;
    Key key;
    CertStack chain;        // every certificate given, the leaf among them
    std::string caFile;     // the chain and the system's roots, for osslsigncode verify
    std::string caText;     // what it holds
    std::string work;
};

Signer::Signer() : m_state(new State) {}
Signer::~Signer() = default;

std::string Signer::Subject() const { return NameOf(X509_get_subject_name(m_state->leaf.get())); }

std::string Signer::Expires() const { return DayOf(X509_get0_notAfter(m_state->leaf.get())); }

std::string Signer::Load(const SigningSettings& settings, const std::string& work) {
    State& s = *m_state;
    s.settings = settings;
    s.work = work;
    const bool havePassword = !settings.passwordFile.empty();
    if (havePassword) {
        std::string text;
        if (!ReadWhole(settings.passwordFile, text) || text.size() > kLargestInput)
            return "cannot read the password file " + settings.passwordFile;
        s.password = text.substr(0, text.find_first_of("\r\n"));
    }
    std::string bytes;
    if (!ReadWhole(settings.cert, bytes)) return "cannot read the certificate " + settings.cert;

    ERR_clear_error();
    P12 p12(d2i_PKCS12_bio(MemoryOf(bytes).get(), nullptr));
    s.pkcs12 = p12 != nullptr;
    if (s.pkcs12) {
        if (!settings.key.empty())
            return settings.cert + " is a PKCS#12 file, which holds its key: leave out --key";
        if (!PKCS12_verify_mac(p12.get(), s.password.c_str(), static_cast<int>(s.password.size())) &&
            !(s.password.empty() && PKCS12_verify_mac(p12.get(), nullptr, 0)))
            return havePassword ? "wrong password for " + settings.cert
                                : settings.cert + " is protected by a password: give --password-file FILE";
        EVP_PKEY* key = nullptr;
        X509* cert = nullptr;
        STACK_OF(X509)* ca = nullptr;
        bool read = PKCS12_parse(p12.get(), s.password.c_str(), &key, &cert, &ca);
        if (!read) {
            // Older exports encrypt with ciphers OpenSSL keeps in its legacy
            // provider (RC2); loading it means naming the default one too.
            ERR_clear_error();
            s.providers.legacy = OSSL_PROVIDER_load(nullptr, "legacy");
            s.providers.fallback = OSSL_PROVIDER_load(nullptr, "default");
            read = s.providers.legacy && s.providers.fallback &&
                   PKCS12_parse(p12.get(), s.password.c_str(), &key, &cert, &ca);
        }
        if (!read) return "cannot read " + settings.cert + ": " + LastError();
        s.key.reset(key);
        s.leaf.reset(cert);
        if (ca) {
            while (sk_X509_num(ca) > 0) sk_X509_push(s.chain.p, sk_X509_shift(ca));
            sk_X509_free(ca);
        }
        if (!s.leaf || !s.key) return settings.cert + " holds no certificate with its key";
        if (!X509_check_private_key(s.leaf.get(), s.key.get()))
            return "the key in " + settings.cert + " is not its certificate's";
        X509_up_ref(s.leaf.get());
        sk_X509_push(s.chain.p, s.leaf.get());
    } else {
        Bio in = MemoryOf(bytes);
        while (X509* cert = PEM_read_bio_X509(in.get(), nullptr, nullptr, nullptr))
            sk_X509_push(s.chain.p, cert);
        ERR_clear_error();
        if (sk_X509_num(s.chain.p) == 0)
            return settings.cert + " is neither a PKCS#12 file (.pfx, .p12) nor PEM certificates";
        if (settings.key.empty()) return "a PEM certificate needs its private key: --key KEY";
        std::string keyBytes;
        if (!ReadWhole(settings.key, keyBytes)) return "cannot read the key " + settings.key;
        s.key.reset(PEM_read_bio_PrivateKey(MemoryOf(keyBytes).get(), nullptr, PasswordCallback,
                                            &s.password));
        ERR_clear_error();
        if (!s.key) {
            if (keyBytes.find("ENCRYPTED") == std::string::npos)
                return settings.key + " holds no private key (PEM)";
            return havePassword ? "wrong password for " + settings.key
                                : settings.key + " is protected by a password: give --password-file FILE";
        }
        // The certificate is the one of the key; the others are its chain.
        for (int i = 0; i < sk_X509_num(s.chain.p) && !s.leaf; ++i) {
            X509* cert = sk_X509_value(s.chain.p, i);
            if (X509_check_private_key(cert, s.key.get())) {
                X509_up_ref(cert);
                s.leaf.reset(cert);
            }
        }
        ERR_clear_error();
        if (!s.leaf)
            return settings.key + " is not the key of " +
                   (sk_X509_num(s.chain.p) == 1 ? "the certificate" : "any certificate") + " in " +
                   settings.cert + " (the wrong key?)";
    }

    // The certificate itself, before anything is signed with it.
    X509* leaf = s.leaf.get();
    const std::string named = "the certificate \"" + Subject() + "\"";
    if (X509_cmp_current_time(X509_get0_notBefore(leaf)) > 0)
        return named + " is not valid yet: its validity begins on " +
               DayOf(X509_get0_notBefore(leaf));
    if (X509_cmp_current_time(X509_get0_notAfter(leaf)) < 0)
        return named + " has expired: its validity ended on " + Expires();
    const uint32_t flags = X509_get_extension_flags(leaf);
    if (!(flags & EXFLAG_XKUSAGE) || !(X509_get_extended_key_usage(leaf) & XKU_CODE_SIGN))
        return named + " is not for signing programs: its extended key usage lacks code "
                       "signing (1.3.6.1.5.5.7.3.3)";
    if ((flags & EXFLAG_KUSAGE) && !(X509_get_key_usage(leaf) & KU_DIGITAL_SIGNATURE))
        return named + " is not for signing: its key usage lacks digital signatures";

    // Its chain: what was given, and the system's roots.
    Store store(X509_STORE_new());
    for (int i = 0; i < sk_X509_num(s.chain.p); ++i)
        X509_STORE_add_cert(store.get(), sk_X509_value(s.chain.p, i));
    X509_STORE_set_default_paths(store.get());
    StoreContext context(X509_STORE_CTX_new());
    X509_STORE_CTX_init(context.get(), store.get(), leaf, s.chain.p);
    if (X509_verify_cert(context.get()) != 1) {
        const int error = X509_STORE_CTX_get_error(context.get());
        X509* at = X509_STORE_CTX_get_current_cert(context.get());
        ERR_clear_error();
        return "the chain of " + named + " does not check: " +
               X509_verify_cert_error_string(error) +
               (at ? " (at \"" + NameOf(X509_get_subject_name(at)) + "\")" : std::string()) +
               "; give the certificates up to the root in " + settings.cert;
    }

    // The same chain for osslsigncode's check of what it signed.
    s.caFile = work + "/chain.pem";
    Bio out(BIO_new(BIO_s_mem()));
    for (int i = 0; i < sk_X509_num(s.chain.p); ++i)
        PEM_write_bio_X509(out.get(), sk_X509_value(s.chain.p, i));
    char* data = nullptr;
    const long n = BIO_get_mem_data(out.get(), &data);
    s.caText.assign(data, n > 0 ? static_cast<size_t>(n) : 0);
    const char* bundle = std::getenv(X509_get_default_cert_file_env());
    std::string roots;
    if (ReadWhole(bundle && *bundle ? bundle : X509_get_default_cert_file(), roots, 64 * kLargestFile))
        s.caText += roots;
    return "";
}

std::string Signer::SaveChain() const { return WriteWhole(m_state->caFile, m_state->caText); }

std::string Signer::Refusal(const std::string& from) const {
    std::ifstream in(from, std::ios::binary);
    const medium_check::CertificateTable table = medium_check::ReadCertificateTable(in);
    if (!table.pe) return "is no program Windows can load (not a PE image), so it cannot be signed";
    if (!table.signedData) return "";
    const std::string bytes = medium_check::FirstSignature(in, table, kLargestFile);
    const unsigned char* p = reinterpret_cast<const unsigned char*>(bytes.data());
    P7 p7(bytes.empty() ? nullptr : d2i_PKCS7(nullptr, &p, static_cast<long>(bytes.size())));
    STACK_OF(X509)* signers =
        p7 && PKCS7_type_is_signed(p7.get()) ? PKCS7_get0_signers(p7.get(), nullptr, 0) : nullptr;
    ERR_clear_error();
    std::string by;
    bool ours = signers && sk_X509_num(signers) > 0;
    for (int i = 0; signers && i < sk_X509_num(signers); ++i) {
        if (X509_cmp(sk_X509_value(signers, i), m_state->leaf.get()) == 0) continue;
        ours = false;
        by = NameOf(X509_get_subject_name(sk_X509_value(signers, i)));
    }
    sk_X509_free(signers);
    if (ours) return "";
    return "is signed already, " +
           (by.empty() ? std::string("with a signature that cannot be read")
                       : "by \"" + by + "\"") +
           ", and medium-pack does not sign over another's signature: pack it as it is "
           "(without --sign), or give an unsigned copy";
}

std::string Signer::Sign(const std::string& from, const std::string& to) const {
    const State& s = *m_state;
    std::vector<std::string> args = {"sign", "-h", "sha256"};
    if (s.pkcs12) {
        args.insert(args.end(), {"-pkcs12", s.settings.cert});
    } else {
        args.insert(args.end(), {"-certs", s.settings.cert, "-key", s.settings.key});
    }
    // The password goes through a pipe: the command line is public.
    if (!s.settings.passwordFile.empty()) args.insert(args.end(), {"-readpass", "-"});
    if (!s.settings.timestamp.empty()) args.insert(args.end(), {"-ts", s.settings.timestamp});
    args.insert(args.end(), {"-in", from, "-out", to});
    const std::string log = s.work + "/osslsigncode.log";
    std::string failed = RunProgram("osslsigncode", args, log, s.password, kLongestSigning);
    if (!failed.empty() && !s.settings.timestamp.empty() &&
        failed.find(" did not finish within ") != std::string::npos)
        failed += ": the time-stamping server " + s.settings.timestamp + " does not answer";
    if (!failed.empty()) return "could not be signed: " + failed;
    if (!medium_check::ReadCertificateTable(to).signedData)
        return "carries no signature after signing";
    failed = RunProgram("osslsigncode", {"verify", "-in", to, "-CAfile", s.caFile}, log, "",
                        kLongestSigning);
    if (!failed.empty()) return "does not check against the chain given once signed: " + failed;
    return "";
}

}  // namespace medium_pack
