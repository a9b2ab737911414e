// The translation of the program's texts, chosen by the user's locale and
// read from one initialisation file with a section per language.
#pragma once

#include "platform/wintypes.h"

#include <string>

class CTranslator {
public:
    CTranslator();
    virtual ~CTranslator();

    // Fills the process-wide translation table from `file` for `locale`.
    // Always true; nothing that goes wrong while reading is reported.
    BOOL Load(LCID locale, const char* file);
    // The section name for `locale`; sets m_nCharSet.
    std::string SelectLanguage(LCID locale);
    // A built-in text by id, translated when the table has it.
    std::string GetText(UINT id);
    // A text by its wording: its translation, or the text itself.
    std::string Translate(const char* text);
    // The face name for the menu window's fonts ("Arial" by default), cut
    // to fit (FitFaceName).
    std::string GetFontFace();

    // Font character set of the chosen language (LOGFONT's lfCharSet).
    BYTE m_nCharSet;

    // A face name holds at most this many bytes (a font description's field
    // and its NUL).
    static const size_t kMaxFaceName = 31;
    // `face` cut to kMaxFaceName bytes, before a double-byte character that
    // would not fit whole.
    static std::string FitFaceName(const std::string& face);
    // The part of a section that is loaded, in bytes.
    static const DWORD kSectionBuffer = 16384;
};

// The translation table itself, shared by every CTranslator of the process.
namespace translation {
size_t Count();
void Clear();
// Whether the table has an entry for exactly `key`; if so and `value` is
// given, the entry's value is copied there.
bool Lookup(const std::string& key, std::string* value = nullptr);
}  // namespace translation
