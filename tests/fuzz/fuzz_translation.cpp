// The translation load on any file, for a locale the input chooses: every
// built-in text, the face name and a lookup of each loaded key answer
// without fault, and the face name fits a font description.
#include "localisation/translator.h"
#include "platform/codepage.h"
#include "resources/resource.h"
#include "fuzz_support.h"

namespace {
fuzz::Scratch g_scratch;

// English, Japanese, Chinese (both), Russian, Arabic, French.
const LCID kLocales[] = {0x0409, 0x0411, 0x0804, 0x0404, 0x0419, 0x0401, 0x040C};
const unsigned kPages[] = {1252, 932, 936, 950, 1251, 1256, 1252};
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const size_t pick = size ? data[0] % (sizeof kLocales / sizeof kLocales[0]) : 0;
    platform::CodePage::SetHostAnsi(kPages[pick]);
    g_scratch.Write("translat.ini",
                    std::string(reinterpret_cast<const char*>(data), size));
    const std::string path = g_scratch.Path() + "/translat.ini";

    CTranslator translator;
    translator.Load(kLocales[pick], path.c_str());
    // Every built-in text and the ids on either side, which have none.
    for (UINT id = IDS_ABOUTBOX - 1; id <= IDS_DOWNLOAD_MISMATCH + 1; ++id)
        translator.GetText(id);
    const std::string face = translator.GetFontFace();
    fuzz::Check(face.size() <= CTranslator::kMaxFaceName, "face name fits");
    // Every key of the table finds itself.
    const std::string text(reinterpret_cast<const char*>(data), size);
    for (size_t at = 0, eq; (eq = text.find('=', at)) != std::string::npos; at = eq + 1) {
        const size_t start = text.rfind('\n', eq);
        const std::string key = text.substr(start == std::string::npos ? 0 : start + 1,
                                            eq - (start == std::string::npos ? 0 : start + 1));
        std::string value;
        if (translation::Lookup(key, &value))
            fuzz::Check(!value.empty() && translator.Translate(key.c_str()) == value,
                        "a loaded key translates to its value");
        if (eq - at > 4096) break;
    }
    translation::Clear();
    platform::CodePage::SetHostAnsi(1252);
    return 0;
}
