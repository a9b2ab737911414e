#include "catalog/catalog_item.h"

#include "catalog/command.h"
#include "platform/codepage.h"
#include "platform/system.h"

#include <cstdlib>

const char* const CCatalogItem::kDescriptorName = "QXMSETUP.INI";

namespace {

const char kSection[] = "common";
const DWORD kValueBuffer = CCatalogItem::kMaxValue + 1;

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

// A text of one display step, and whether it was cut on the way.
struct Bounded {
    std::string text;
    bool cut;
};

// `s` cut to the longest run of whole characters that fits the limit.
void CutToLimit(const platform::CodePage& page, std::string& s, bool& cut) {
    const size_t limit = CCatalogItem::kMaxDisplayText;
    if (s.size() <= limit) return;
    size_t keep = 0;
    while (keep < limit) {
        const size_t len = page.CharLength(s, keep);
        if (keep + len > limit) break;
        keep += len;
    }
    s.resize(keep);
    cut = true;
}

// Replaces every occurrence of `placeholder`, left to right (inserted text
// is not searched again), then the blank pass. The filled text is built to
// twice the limit at most: the blank pass at least halves what it is given,
// so what is dropped there could never have reached the kept part.
Bounded Fill(const Bounded& s, const char* placeholder, const Bounded& text) {
    const platform::CodePage page = platform::CodePage::System();
    const size_t room = 2 * CCatalogItem::kMaxDisplayText + 2;
    const std::string what(placeholder);
    std::string out;
    bool cut = s.cut;
    auto append = [&](const std::string& from, size_t at, size_t n) {
        if (out.size() + n > room) {
            n = room - out.size();
            cut = true;
        }
        out.append(from, at, n);
    };
    size_t from = 0;
    while (out.size() < room) {
        size_t at = page.FindText(s.text, what, from);
        if (at == std::string::npos) break;
        append(s.text, from, at - from);
        append(text.text, 0, text.text.size());
        cut = cut || text.cut;
        from = at + what.size();
    }
    if (out.size() < room)
        append(s.text, from, s.text.size() - from);
    else if (from < s.text.size())
        cut = true;
    Bounded result{BlankPass(out), cut};
    CutToLimit(page, result.text, result.cut);
    return result;
}

}  // namespace

std::string CCatalogItem::ReadKey(const platform::ProfileSectionReader& descriptor,
                                  const char* key) {
    char buf[kValueBuffer];
    DWORD n = descriptor.String(key, "", buf, kValueBuffer);
    if (n >= kValueBuffer) n = kValueBuffer - 1;
    return std::string(buf, n);
}

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
    // The file is read once; each key is then found as the system's profile
    // functions find it.
    const platform::ProfileSectionReader descriptor(kSection, path);

    std::string name = m_translator.Translate(ReadKey(descriptor, "name").c_str());
    SetVersion(m_translator.Translate(ReadKey(descriptor, "version").c_str()));
    std::string description =
        m_translator.Translate(ReadKey(descriptor, "description").c_str());
    SetIcon(page.Upper(ReadKey(descriptor, "icon")));

    std::string file = ReadKey(descriptor, "file");
    if (command::BeginsLikeAddress(file, page)) {
        SetFile(file);
    } else {
        SetFile(platform::FolderOf(path ? path : "", page) + "\\" + file);
    }

    m_nPriority = std::atoi(ReadKey(descriptor, "priority").c_str());
    SetSha256(ReadKey(descriptor, "sha256"));

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

namespace {

// An item's title with whether it was cut, as "%T" and "%P" take it.
Bounded TitleOf(const CCatalogItem& item) {
    Bounded title;
    title.text = item.GetTitle(&title.cut);
    return title;
}

}  // namespace

std::string CCatalogItem::GetTitle(bool* cut) const {
    Bounded title = Fill({m_strName, false}, "%V", {m_strVersion, false});
    if (m_pParent) title = Fill(title, "%T", TitleOf(*m_pParent));
    if (cut) *cut = title.cut;
    return title.text;
}

std::string CCatalogItem::GetDisplayDescription(bool* cut) const {
    Bounded text = Fill({m_strDescription, false}, "%P", TitleOf(*this));
    text = Fill(text, "%V", {m_strVersion, false});
    if (m_pParent) text = Fill(text, "%T", TitleOf(*m_pParent));
    if (cut) *cut = text.cut;
    return text.text;
}
