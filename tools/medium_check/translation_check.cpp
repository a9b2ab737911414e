// The translation file's findings: sections the menu never reads, sections
// too long for its buffer, lines it ignores, face names too long, and
// descriptor texts that one language translates and another does not.
#include "tools/medium_check/check_internal.h"

#include "localisation/languages.h"
#include "localisation/translator.h"
#include "platform/codepage.h"
#include "platform/ini_layout.h"
#include "platform/ini_reader.h"
#include "platform/system.h"

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

    // Which descriptor texts each language section translates.
    std::map<std::string, std::vector<bool>> translated;
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
    }

    // [english] usually holds the menu's own texts alone, the descriptors
    // being written in English; it is held to the others only when it
    // translates descriptor texts too.
    bool englishCounts = false;
    if (translated.count("english"))
        for (bool b : translated["english"]) englishCounts = englishCounts || b;

    for (size_t k = 0; k < texts.size(); ++k) {
        std::vector<std::string> with, without;
        for (const std::string& name : report.sections) {
            if (translated[name][k])
                with.push_back(name);
            else if (name != "english" || englishCounts)
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
