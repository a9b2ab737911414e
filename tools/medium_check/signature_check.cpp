// Programs a click starts that carry no Authenticode signature. A disc image
// that was downloaded marks every file in it as coming from the internet,
// and Windows judges such programs by their signature before they run.
#include "tools/medium_check/check_internal.h"

#include "tools/medium_check/pe_certificates.h"

#include "platform/codepage.h"
#include "platform/system.h"

namespace medium_check {

void CheckSignature(const std::string& program, const std::string& shown, Report& report) {
    std::string suffix = program.size() < 4 ? std::string() : program.substr(program.size() - 4);
    for (char& c : suffix)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
    if (suffix != ".exe") return;
    const platform::CodePage page = platform::CodePage::System();
    for (const Finding& f : report.findings)
        if (f.code == "program-unsigned" && page.Upper(f.file) == page.Upper(shown)) return;
    // A file that is no PE image at all is no program Windows starts; that
    // is not this rule's to say.
    const CertificateTable table = ReadCertificateTable(platform::NativePath(program));
    if (!table.pe || table.signedData) return;
    report.findings.push_back(
        {Severity::Warning, "program-unsigned", shown, 0,
         "a click starts it, and it carries no Authenticode signature: SmartScreen warns before "
         "it runs, and Smart App Control blocks it outright; have its maker sign it"});
}

}  // namespace medium_check
