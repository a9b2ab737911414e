// The certificate table of any file: what the reader reports lies within
// the file, and the signature it gives is the entry's bytes.
#include "fuzz_support.h"
#include "tools/medium_check/pe_certificates.h"

#include <sstream>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    const medium_check::CertificateTable table = medium_check::ReadCertificateTable(in);
    if (!table.signedData) return 0;
    fuzz::Check(table.pe, "a signature comes only from a PE image");
    fuzz::Check(uint64_t(table.offset) + table.size <= size, "the table lies within the file");
    fuzz::Check(table.entryLength > 8 && table.entryLength <= table.size,
                "the entry lies within the table");
    const std::string signature = medium_check::FirstSignature(in, table, size);
    fuzz::Check(signature == std::string(reinterpret_cast<const char*>(data) + table.offset + 8,
                                         table.entryLength - 8),
                "the signature is the entry's bytes");
    return 0;
}
