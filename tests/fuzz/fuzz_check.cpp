// The checker on a small medium made from the input: the root's
// descriptor, two levels below it, a sibling, and the translation. Both
// reports are made; every page and option title stays within the display
// limit and the report is valid UTF-8.
#include "catalog/catalog_item.h"
#include "platform/codepage.h"
#include "platform/system.h"
#include "tools/medium_check/check.h"
#include "fuzz_support.h"

namespace {
fuzz::Scratch g_scratch;

bool IsUtf8(const std::string& s) {
    for (size_t i = 0; i < s.size();) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        size_t n = c < 0x80 ? 0 : (c >> 5) == 6 ? 1 : (c >> 4) == 14 ? 2 : (c >> 3) == 30 ? 3 : 9;
        if (n == 9 || i + n >= s.size() + (n ? 0 : 1)) return false;
        for (size_t k = 1; k <= n; ++k)
            if ((static_cast<unsigned char>(s[i + k]) >> 6) != 2) return false;
        i += n + 1;
    }
    return true;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::vector<std::string> parts = fuzz::Parts(data, size, 5);
    g_scratch.Empty();
    g_scratch.Write("QXMSETUP.INI", parts[0]);
    g_scratch.Write("a/QXMSETUP.INI", parts[1]);
    g_scratch.Write("a/b/QXMSETUP.INI", parts[2]);
    g_scratch.Write("c/QXMSETUP.INI", parts[3]);
    g_scratch.Write("translat.ini", parts[4]);
    g_scratch.Write("a/setup.exe", "");
    g_scratch.MakeDir("empty");

    medium_check::Settings settings;
    settings.medium = platform::WindowsPath(g_scratch.Path());
    settings.shownAs = "D:\\";
    settings.locale = size && (data[0] & 1) ? 0x0411 : 0x0409;
    const medium_check::Report report = medium_check::Check(settings);
    for (const medium_check::Page& page : report.pages) {
        fuzz::Check(page.title.size() <= CCatalogItem::kMaxDisplayText, "page title bound");
        for (const medium_check::Option& option : page.options)
            fuzz::Check(option.title.size() <= CCatalogItem::kMaxDisplayText,
                        "option title bound");
    }
    fuzz::Check(IsUtf8(medium_check::FormatText(report)), "text report in UTF-8");
    fuzz::Check(IsUtf8(medium_check::FormatJson(report)), "JSON report in UTF-8");
    platform::CodePage::SetHostAnsi(1252);
    return 0;
}
