#include "tools/medium_check/pe_certificates.h"

#include <fstream>

namespace medium_check {
namespace {

const std::uint16_t kPe32 = 0x10B, kPe32Plus = 0x20B;
const std::uint32_t kSecurityDirectory = 4;
const std::uint16_t kPkcsSignedData = 2;
// The optional header's size as the headers give it is trusted up to this.
const std::uint16_t kLargestOptionalHeader = 1024;

std::uint32_t Le(const unsigned char* p, int bytes) {
    std::uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i) v = (v << 8) | p[i];
    return v;
}

// `n` bytes at `at`, all of them within the file.
bool ReadAt(std::istream& in, std::uint64_t fileSize, std::uint64_t at, unsigned char* to,
            std::size_t n) {
    if (at > fileSize || n > fileSize - at) return false;
    in.clear();
    in.seekg(static_cast<std::streamoff>(at));
    in.read(reinterpret_cast<char*>(to), static_cast<std::streamsize>(n));
    return in.gcount() == static_cast<std::streamsize>(n);
}

std::uint64_t SizeOf(std::istream& in) {
    in.clear();
    in.seekg(0, std::ios::end);
    const std::streamoff end = in.tellg();
    return end > 0 ? static_cast<std::uint64_t>(end) : 0;
}

}  // namespace

CertificateTable ReadCertificateTable(std::istream& in) {
    CertificateTable table;
    const std::uint64_t fileSize = SizeOf(in);
    unsigned char dos[64];
    if (!ReadAt(in, fileSize, 0, dos, sizeof dos) || dos[0] != 'M' || dos[1] != 'Z') return table;
    const std::uint32_t header = Le(dos + 0x3C, 4);
    unsigned char coff[24];  // the signature "PE\0\0" and the file header
    if (!ReadAt(in, fileSize, header, coff, sizeof coff) || coff[0] != 'P' || coff[1] != 'E' ||
        coff[2] || coff[3])
        return table;
    const std::uint16_t optionalSize = static_cast<std::uint16_t>(Le(coff + 20, 2));
    unsigned char optional[kLargestOptionalHeader] = {};
    const std::size_t have = optionalSize < sizeof optional ? optionalSize : sizeof optional;
    if (have < 2 || !ReadAt(in, fileSize, std::uint64_t(header) + sizeof coff, optional, have))
        return table;
    const std::uint32_t magic = Le(optional, 2);
    if (magic != kPe32 && magic != kPe32Plus) return table;
    table.pe = true;
    const std::size_t count = magic == kPe32 ? 92 : 108;
    const std::size_t entry = count + 4 + 8 * kSecurityDirectory;
    if (entry + 8 > have || Le(optional + count, 4) <= kSecurityDirectory) return table;
    table.offset = Le(optional + entry, 4);
    table.size = Le(optional + entry + 4, 4);

    // WIN_CERTIFICATE: dwLength, wRevision, wCertificateType, then the data.
    unsigned char first[8];
    if (table.size < sizeof first || !ReadAt(in, fileSize, table.offset, first, sizeof first) ||
        std::uint64_t(table.offset) + table.size > fileSize)
        return table;
    table.entryLength = Le(first, 4);
    table.signedData = Le(first + 6, 2) == kPkcsSignedData && table.entryLength > sizeof first &&
                       table.entryLength <= table.size;
    return table;
}

CertificateTable ReadCertificateTable(const std::string& nativePath) {
    std::ifstream in(nativePath, std::ios::binary);
    if (!in) return CertificateTable();
    return ReadCertificateTable(in);
}

std::string FirstSignature(std::istream& in, const CertificateTable& table, std::size_t most) {
    if (!table.signedData || table.entryLength - 8 > most) return std::string();
    std::string bytes(table.entryLength - 8, '\0');
    if (!ReadAt(in, SizeOf(in), std::uint64_t(table.offset) + 8,
                reinterpret_cast<unsigned char*>(&bytes[0]), bytes.size()))
        return std::string();
    return bytes;
}

}  // namespace medium_check
