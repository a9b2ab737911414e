#include "localisation/translator.h"

#include "localisation/languages.h"
#include "platform/codepage.h"
#include "platform/system.h"

#include <memory>
#include <unordered_map>

namespace {

// The one table, from static initialisation to the end of the program.
std::unordered_map<std::string, std::string>& Table() {
    static std::unordered_map<std::string, std::string> table;
    return table;
}

const std::string* Lookup(const std::string& key) {
    auto& table = Table();
    auto it = table.find(key);
    return it == table.end() ? nullptr : &it->second;
}

bool IsTrailingSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' ||
           c == '\f';
}

}  // namespace

namespace translation {
size_t Count() { return Table().size(); }
void Clear() { Table().clear(); }
bool Lookup(const std::string& key, std::string* value) {
    const std::string* found = ::Lookup(key);
    if (found && value) *value = *found;
    return found != nullptr;
}
}  // namespace translation

CTranslator::CTranslator() : m_nCharSet(0) {}

CTranslator::~CTranslator() {}

std::string CTranslator::SelectLanguage(LCID locale) {
    const languages::Language& language = languages::OfLocale(locale);
    m_nCharSet = language.charSet;
    return language.section;
}

BOOL CTranslator::Load(LCID locale, const char* file) {
    auto& table = Table();
    if (!table.empty()) table.clear();
    if (locale == 0) return TRUE;

    std::string section = SelectLanguage(locale);
    std::unique_ptr<char[]> buffer(new char[kSectionBuffer]);
    DWORD n = platform::ProfileSection(section.c_str(), buffer.get(),
                                       kSectionBuffer, file);
    if (n == 0)
        n = platform::ProfileSection("english", buffer.get(), kSectionBuffer, file);
    if (n == 0) return TRUE;
    if (n > kSectionBuffer - 2) n = kSectionBuffer - 2;
    // A section that does not fit comes back cut in the middle of a line;
    // that line is left out, so that no key or translation is loaded half.
    // (A complete list always ends with the NUL of its last line.)
    while (n > 0 && buffer[n - 1] != '\0') --n;
    // Whatever the service returned, the walk stops inside the buffer.
    buffer[n] = '\0';
    buffer[n + 1] = '\0';

    const platform::CodePage page = platform::CodePage::System();
    const char* p = buffer.get();
    const char* end = buffer.get() + n;
    while (p < end && *p) {
        std::string line(p);
        p += line.size() + 1;

        size_t eq = page.Find(line, '=');
        if (eq != std::string::npos) {
            std::string value = line.substr(eq + 1);
            // Trailing white space goes, one whole character at a time.
            size_t keep = 0;
            for (size_t i = 0; i < value.size();) {
                size_t len = page.CharLength(value, i);
                if (!(len == 1 && IsTrailingSpace(value[i]))) keep = i + len;
                i += len;
            }
            value.resize(keep);
            if (!value.empty()) table[line.substr(0, eq)] = value;
        }
        platform::DrainMessageQueue();
    }
    return TRUE;
}

std::string CTranslator::GetText(UINT id) {
    std::string builtin = platform::LoadBuiltinText(id);
    const std::string* t = Lookup(builtin);
    return t ? *t : builtin;
}

std::string CTranslator::Translate(const char* text) {
    if (!text) return std::string();
    const std::string* t = Lookup(text);
    return t ? *t : std::string(text);
}

std::string CTranslator::FitFaceName(const std::string& face) {
    const platform::CodePage page = platform::CodePage::System();
    size_t keep = 0;
    while (keep < face.size()) {
        const size_t next = keep + page.CharLength(face, keep);
        if (next > kMaxFaceName) break;
        keep = next;
    }
    return face.substr(0, keep);
}

std::string CTranslator::GetFontFace() {
    const std::string* t = Lookup("Font");
    return t ? FitFaceName(*t) : "Arial";
}
