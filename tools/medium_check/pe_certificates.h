// The certificate table of a PE image (a program or a library): where its
// Authenticode signature lies, read from the headers alone. It tells
// whether a file carries a signature, not whether the signature is valid.
// Malformed files are safe to give: every offset is checked against the
// file's size, and only the headers and the table's first entry are read.
#pragma once

#include <cstdint>
#include <istream>
#include <string>

namespace medium_check {

struct CertificateTable {
    bool pe = false;          // the file is a PE image
    std::uint32_t offset = 0; // the table's place in the file (data directory 4
    std::uint32_t size = 0;   // holds a file offset, not an address)
    // Its first entry is a PKCS#7 signature (WIN_CERT_TYPE_PKCS_SIGNED_DATA)
    // that lies within the file.
    bool signedData = false;
    std::uint32_t entryLength = 0;  // that entry's length, its header included
};

CertificateTable ReadCertificateTable(std::istream& in);
// The file at `nativePath`; a file that cannot be read is no PE image.
CertificateTable ReadCertificateTable(const std::string& nativePath);

// The PKCS#7 bytes of the table's first entry, when it is a signature of at
// most `most` bytes; else empty.
std::string FirstSignature(std::istream& in, const CertificateTable& table, std::size_t most);

}  // namespace medium_check
