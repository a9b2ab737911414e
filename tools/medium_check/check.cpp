// The checker: the menu's own start on the medium as pages, then the rules
// by subject, then the translation file; the findings in the order of the
// files and lines they concern.
#include "tools/medium_check/check_internal.h"

#include "platform/codepage.h"
#include "platform/folder_search.h"
#include "platform/tool_text.h"
#include "tools/medium_check/pages.h"
#include "tools/medium_check/rules.h"

#include <algorithm>

namespace medium_check {
namespace {

std::string SortKey(const std::string& file) {
    // The translation file after every descriptor.
    const platform::CodePage page = platform::CodePage::System();
    if (page.Upper(file).find(CCatalogItem::kDescriptorName) == std::string::npos)
        return "\x7F" + file;
    const size_t slash = page.FindLast(file, '\\');
    std::string key = slash == std::string::npos ? std::string() : file.substr(0, slash + 1);
    // Folder by folder: "a\b\" before "a\b2\" and "a\b\c\".
    for (size_t i = page.Find(key, '\\'); i != std::string::npos; i = page.Find(key, '\\', i + 1))
        key[i] = '\x01';
    return key;
}

}  // namespace

int Report::Count(Severity severity) const {
    return static_cast<int>(std::count_if(findings.begin(), findings.end(),
                                          [&](const Finding& f) { return f.severity == severity; }));
}

std::vector<std::string> MediumLanguages(const Settings& settings, bool every) {
    const Report report = Check(settings);
    if (!every) return report.languages;
    std::vector<std::string> names = {"english"};
    for (const std::string& section : report.sections)
        if (section != "english") names.push_back(section);
    return names;
}

bool IsFolder(const std::string& path) {
    std::string folder = path;
    if (!folder.empty() && folder.back() == '\\') folder.pop_back();
    platform::FolderSearch search;
    return search.FindFile(folder + "\\*.*");
}

bool SetMediumFolder(Settings& settings, const std::string& typed) {
    settings.folder = platform::HostFolder(typed);
    if (settings.folder.empty()) return false;
    settings.medium = platform::WindowsPath(settings.folder);
    return true;
}

Report Check(const Settings& settings) {
    Report report;
    MenuPages pages(settings);
    pages.Plan(report);

    Rules rules(pages, report);
    const CCatalogItem& root = pages.Root();
    if (pages.Recorder().DescriptorOf(root).empty())
        rules.CheckRootWithoutDescriptor();
    else
        rules.CheckNode(root);
    rules.CheckDropped();
    rules.CheckNames();
    rules.CheckLinks();
    rules.CheckTexts(root);

    std::vector<DescriptorText> texts;
    for (const std::string& path : pages.Recorder().AllDescriptors())
        rules.CheckDescriptor(path, texts);
    if (!pages.Recorder().DescriptorOf(root).empty())
        CheckArt(pages.Folder(), pages.Recorder().DescriptorOf(root), report.findings);
    rules.CheckDownloads();

    if (report.translationFound) {
        CheckTranslation(pages.TranslationPath(), report.translation, texts, report);
        pages.Translator().Load(settings.locale, pages.TranslationPath().c_str());
    }
    for (const std::string& name : report.sections)
        if (name == report.language) report.languageFound = true;

    // Files in a fixed order (each folder's descriptor before those of its
    // subfolders), then lines; findings of one place keep their order.
    std::vector<std::pair<std::string, Finding>> keyed;
    for (Finding& f : report.findings) keyed.push_back({SortKey(f.file), std::move(f)});
    std::stable_sort(keyed.begin(), keyed.end(), [](const auto& a, const auto& b) {
        if (a.first != b.first) return a.first < b.first;
        return a.second.line < b.second.line;
    });
    report.findings.clear();
    for (auto& k : keyed) report.findings.push_back(std::move(k.second));
    return report;
}

}  // namespace medium_check
