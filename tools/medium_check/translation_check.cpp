// The translation file's findings: sections the menu never reads, sections
// too long for its buffer, lines it ignores, face names too long; which
// sections are the medium's languages, and the descriptor texts and the
// caption that one of them has and another lacks.
#include "tools/medium_check/check_internal.h"

#include "localisation/languages.h"
#include "localisation/translator.h"
#include "platform/codepage.h"
#include "platform/ini_layout.h"
#include "platform/ini_reader.h"
#include "platform/system.h"
#include "resources/resource.h"

#include <map>
#include <memory>

namespace medium_check {
namespace {

std::string Lower(const std::string& s) {
    std::string out = s;
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
    return out;
}

// The section as the profile functions give it, however long it is.
std::vector<std::string> WholeSection(const std::string& path, const std::string& name) {
    std::vector<std::string> lines;
    for (DWORD size = 65536; size <= (1u << 26); size *= 4) {
        std::unique_ptr<char[]> buf(new char[size]);
        const DWORD n = platform::ProfileSection(name.c_str(), buf.get(), size, path.c_str());
        if (n >= size - 2 && size < (1u << 26)) continue;
        for (DWORD i = 0; i < n;) {
            std::string line(buf.get() + i);
            i += static_cast<DWORD>(line.size()) + 1;
            lines.push_back(line);
        }
        break;
    }
    return lines;
}

std::string SectionList(const std::vector<std::string>& names) {
    std::vector<std::string> bracketed;
    for (const std::string& n : names) bracketed.push_back("[" + n + "]");
    return ListOf(bracketed);
}

// Whether `caption`, the caption that section `name` gives, is the menu's
// own name: the built-in text `builtin`, or the line the translation that
// ships has for it in that section.
bool IsMenuCaption(const std::string& name, const std::string& caption,
                   const std::string& builtin) {
    if (caption == builtin) return true;
    static const unsigned char kShipped[] = {
#include "shipped_translation.inc"
    };
    const std::string shipped(reinterpret_cast<const char*>(kShipped), sizeof kShipped);
    std::string section;
    for (size_t from = 0; from < shipped.size();) {
        size_t end = shipped.find('\n', from);
        if (end == std::string::npos) end = shipped.size();
        std::string line = shipped.substr(from, end - from);
        from = end + 1;
        while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.pop_back();
        if (line.size() > 2 && line.front() == '[' && line.back() == ']')
            section = Lower(line.substr(1, line.size() - 2));
        else if (section == name && line.compare(0, builtin.size() + 1, builtin + "=") == 0)
            return line.substr(builtin.size() + 1) == caption;
    }
    return false;
}

std::string WithCommas(size_t n) {
    std::string digits = std::to_string(n);
    for (int at = static_cast<int>(digits.size()) - 3; at > 0; at -= 3)
        digits.insert(static_cast<size_t>(at), ",");
    return digits;
}

}  // namespace

void CheckTranslation(const std::string& path, const std::string& shownName,
                      const std::vector<DescriptorText>& texts, Report& report) {
    const platform::CodePage page = platform::CodePage::System();
    auto add = [&](Severity severity, const char* code, unsigned line, const std::string& text) {
        report.findings.push_back({severity, code, shownName, line, text});
    };

    const std::string native = platform::NativePath(path);
    const std::vector<ini::SectionLayout> layout = ini::ReadLayout(native.c_str());
    std::vector<std::string> names;
    for (const languages::Language& l : languages::All()) names.push_back(l.section);

    std::map<std::string, const ini::SectionLayout*> first;
    for (const ini::SectionLayout& s : layout) {
        if (s.line == 0) {
            if (!s.entries.empty())
                add(Severity::Warning, "section-never-read", s.entries.front().line,
                    "the lines before the first section header are never read");
            continue;
        }
        const std::string name = Lower(s.name);
        bool known = false;
        for (const std::string& n : names) known = known || n == name;
        if (!known) {
            add(Severity::Warning, "section-never-read", s.line,
                "section [" + s.name + "] is never read: the menu reads only " +
                    SectionList(names));
        } else if (first.count(name)) {
            add(Severity::Warning, "section-never-read", s.line,
                "a second section [" + s.name + "] is never read: only the first, at line " +
                    std::to_string(first[name]->line) + ", is");
        } else {
            first[name] = &s;
        }
    }

    // Which descriptor texts each language section translates, and whether
    // it gives the caption a name of the medium's own.
    const std::string captionKey = platform::LoadBuiltinText(IDS_CAPTION);
    std::map<std::string, std::vector<bool>> translated;
    std::map<std::string, bool> renamed;
    for (const std::string& name : names) {
        auto found = first.find(name);
        if (found == first.end()) continue;
        const ini::SectionLayout& section = *found->second;
        const std::vector<std::string> lines = WholeSection(path, name);
        // An empty section is as good as none: the menu reads [english].
        if (lines.empty()) continue;
        report.sections.push_back(name);

        bool aligned = lines.size() == section.entries.size();
        for (size_t i = 0; aligned && i < lines.size(); ++i)
            aligned = lines[i] == section.entries[i].text;
        auto lineOf = [&](size_t i) { return aligned ? section.entries[i].line : 0u; };

        const size_t room = CTranslator::kSectionBuffer - 2;
        size_t used = 0, total = 0, cut = lines.size();
        for (size_t i = 0; i < lines.size(); ++i) {
            total += lines[i].size() + 1;
            if (total > room && cut == lines.size()) cut = i;
            if (cut == lines.size()) used = total;
        }
        if (cut < lines.size())
            add(Severity::Error, "section-too-long", lineOf(cut),
                "section [" + name + "] is " + WithCommas(total) +
                    " bytes as the menu reads it, and only " + WithCommas(used) +
                    " fit in its buffer of " + WithCommas(CTranslator::kSectionBuffer) +
                    ": this line and the " +
                    std::to_string(lines.size() - cut - 1) + " after it are lost");

        size_t fontLine = lines.size();
        for (size_t i = 0; i < lines.size(); ++i) {
            const size_t eq = page.Find(lines[i], '=');
            if (eq == std::string::npos)
                add(Severity::Warning, "line-without-equals", lineOf(i),
                    Quote(lines[i]) + " has no \"=\": the menu ignores the line");
            else if (i < cut && lines[i].compare(0, eq, "Font") == 0 && eq + 1 < lines[i].size())
                fontLine = i;
        }

        // The section as the menu loads it.
        CTranslator translator;
        translator.Load(languages::LocaleOf(name), path.c_str());
        std::string font;
        if (translation::Lookup("Font", &font) && font.size() > CTranslator::kMaxFaceName)
            add(Severity::Warning, "font-too-long", fontLine < lines.size() ? lineOf(fontLine) : 0,
                "[" + name + "] Font " + Quote(font) + " is " + std::to_string(font.size()) +
                    " bytes long; a face name holds " +
                    std::to_string(CTranslator::kMaxFaceName) + ", so the menu asks for " +
                    Quote(translator.GetFontFace()));

        std::vector<bool>& has = translated[name];
        for (const DescriptorText& t : texts) has.push_back(translation::Lookup(t.text));
        std::string caption;
        renamed[name] = translation::Lookup(captionKey, &caption) &&
                        !IsMenuCaption(name, caption, captionKey);
    }

    // The medium's languages. [english] always is one: its users, and those
    // of every language without a section, read the texts as written. Any
    // other section is one when it translates a name, version or
    // description of the medium or renames the caption; one that does
    // neither carries the menu's own texts alone (as the translation that
    // ships does for every language), and its users read the medium's texts
    // as written.
    report.languages = {"english"};
    std::vector<std::string> held;  // the sections each text is expected in
    std::vector<std::string> ownCaption;
    if (!translated.count("english")) ownCaption.push_back("english");
    for (const std::string& name : report.sections) {
        bool translates = false;
        for (bool b : translated[name]) translates = translates || b;
        if (!renamed[name]) ownCaption.push_back(name);
        if (name == "english") {
            // Usually [english] holds the menu's own texts alone, the
            // descriptors being written in English; it is held to the
            // others only when it translates descriptor texts too.
            if (translates) held.push_back(name);
        } else if (translates || renamed[name]) {
            report.languages.push_back(name);
            held.push_back(name);
        } else if (!texts.empty()) {
            add(Severity::Note, "language-not-covered", first[name]->line,
                "[" + name + "] translates none of the medium's names, versions and "
                "descriptions: it is not one of the medium's languages, and its users see them "
                "as written");
        }
    }
    // A caption renamed in one language was meant for every language.
    std::vector<std::string> renaming;
    for (const std::string& name : report.sections)
        if (renamed[name]) renaming.push_back(name);
    if (!renaming.empty() && !ownCaption.empty())
        add(Severity::Warning, "caption-not-renamed",
            first.count(ownCaption.front()) ? first[ownCaption.front()]->line : 0,
            "the caption is renamed in " + SectionList(renaming) + ", while " +
                SectionList(ownCaption) + (ownCaption.size() == 1 ? " keeps" : " keep") +
                " the menu's own: add a line " + Quote(captionKey + "=") +
                " with the medium's name to " + (ownCaption.size() == 1 ? "it" : "each"));

    for (size_t k = 0; k < texts.size(); ++k) {
        std::vector<std::string> with, without;
        for (const std::string& name : held) {
            if (translated[name][k])
                with.push_back(name);
            else
                without.push_back(name);
        }
        if (with.empty() || without.empty()) continue;
        report.findings.push_back(
            {Severity::Warning, "translation-missing", texts[k].descriptor, texts[k].line,
             texts[k].key + " " + Quote(texts[k].text) + " has no translation in " +
                 SectionList(without) + ", while " + SectionList(with) +
                 (with.size() == 1 ? " translates it" : " translate it")});
    }
}

}  // namespace medium_check
