#include "catalog/catalog_item.h"

#include "platform/codepage.h"
#include "platform/system.h"

#include <cstdlib>

const char* const CCatalogItem::kDescriptorName = "QXMSETUP.INI";

namespace {

const char kSection[] = "common";
const DWORD kValueBuffer = 260;

std::string ReadKey(const char* key, const char* path) {
    char buf[kValueBuffer];
    DWORD n = platform::ProfileString(kSection, key, "", buf, kValueBuffer, path);
    if (n >= kValueBuffer) n = kValueBuffer - 1;
    return std::string(buf, n);
}

// Every "  " becomes " ", in one pass over non-overlapping pairs.
std::string BlankPass(const std::string& s) {
    std::string out;
    out.reserve(s.size());
    for (size_t i = 0; i < s.size(); ++i) {
        out += s[i];
        if (s[i] == ' ' && i + 1 < s.size() && s[i + 1] == ' ') ++i;
    }
    return out;
}

// Replaces every occurrence of `placeholder`, left to right; inserted text is
// not searched again.
std::string Fill(const std::string& s, const char* placeholder,
                 const std::string& text) {
    const platform::CodePage page = platform::CodePage::System();
    const std::string what(placeholder);
    std::string out;
    size_t from = 0;
    for (;;) {
        size_t at = page.FindText(s, what, from);
        if (at == std::string::npos) break;
        out.append(s, from, at - from);
        out += text;
        from = at + what.size();
    }
    out.append(s, from, std::string::npos);
    return BlankPass(out);
}

}  // namespace

CCatalogItem::CCatalogItem() : m_nPriority(0), m_pParent(nullptr) {}

CCatalogItem::~CCatalogItem() {
    // Depth first, each parent's children in list order.
    while (!m_children.empty()) {
        std::unique_ptr<CCatalogItem> first = std::move(m_children.front());
        m_children.pop_front();
        first.reset();
    }
}

void CCatalogItem::ReadDescriptor(const char* path) {
    const platform::CodePage page = platform::CodePage::System();

    std::string name = m_translator.Translate(ReadKey("name", path).c_str());
    SetVersion(m_translator.Translate(ReadKey("version", path).c_str()));
    std::string description =
        m_translator.Translate(ReadKey("description", path).c_str());
    SetIcon(page.Upper(ReadKey("icon", path)));

    std::string file = ReadKey("file", path);
    if (page.Upper(file.substr(0, 4)) == "HTTP" ||
        page.Upper(file.substr(0, 3)) == "FTP") {
        SetFile(file);
    } else {
        std::string descriptor(path ? path : "");
        size_t slash = page.FindLast(descriptor, '\\');
        std::string folder =
            slash == std::string::npos ? std::string() : descriptor.substr(0, slash);
        SetFile(folder + "\\" + file);
    }

    m_nPriority = std::atoi(ReadKey("priority", path).c_str());
    SetSha256(ReadKey("sha256", path));

    SetName(m_translator.Translate(name.c_str()));
    SetDescription(m_translator.Translate(description.c_str()));
}

void CCatalogItem::AddChild(std::unique_ptr<CCatalogItem> child) {
    if (!child) return;
    child->m_pParent = this;
    const int p = child->m_nPriority;
    if (m_children.empty() || p == 0) {
        m_children.push_back(std::move(child));
        return;
    }
    for (auto it = m_children.begin(); it != m_children.end(); ++it) {
        const int q = (*it)->m_nPriority;
        if (q > p || q == 0) {
            m_children.insert(it, std::move(child));
            return;
        }
    }
    m_children.push_back(std::move(child));
}

std::string CCatalogItem::GetTitle() const {
    std::string title = Fill(m_strName, "%V", m_strVersion);
    if (m_pParent) title = Fill(title, "%T", m_pParent->GetTitle());
    return title;
}

std::string CCatalogItem::GetDisplayDescription() const {
    std::string text = Fill(m_strDescription, "%P", GetTitle());
    text = Fill(text, "%V", m_strVersion);
    if (m_pParent) text = Fill(text, "%T", m_pParent->GetTitle());
    return text;
}
