// Descriptors read along a chain of parents, with a translation that may
// supply any name: every display text stays within the limit and ends on a
// character boundary, and a name with nothing to fill in is its own title.
#include "catalog/catalog_item.h"
#include "localisation/translator.h"
#include "platform/codepage.h"
#include "fuzz_support.h"

#include <memory>

namespace {
fuzz::Scratch g_scratch;
}

// Parts: the translation, then the descriptors from the root down.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::vector<std::string> parts = fuzz::Parts(data, size, 5);
    platform::CodePage::SetHostAnsi(size && (data[size - 1] & 1) ? 932 : 1252);
    g_scratch.Write("translat.ini", parts[0]);
    CTranslator translator;
    translator.Load(0x0409, (g_scratch.Path() + "/translat.ini").c_str());

    CCatalogItem root;
    CCatalogItem* tip = &root;
    std::vector<CCatalogItem*> chain;
    for (size_t i = 1; i < parts.size(); ++i) {
        const std::string name = "d" + std::to_string(i) + ".ini";
        g_scratch.Write(name, parts[i]);
        const std::string path = g_scratch.Path() + "/" + name;
        if (i == 1) {
            root.ReadDescriptor(path.c_str());
            chain.push_back(&root);
            continue;
        }
        std::unique_ptr<CCatalogItem> item(new CCatalogItem);
        item->ReadDescriptor(path.c_str());
        CCatalogItem* raw = item.get();
        tip->AddChild(std::move(item));
        tip = raw;
        chain.push_back(raw);
    }
    const platform::CodePage page = platform::CodePage::System();
    for (const CCatalogItem* item : chain) {
        bool cut = false;
        const std::string title = item->GetTitle(&cut);
        fuzz::Check(title.size() <= CCatalogItem::kMaxDisplayText, "title within the limit");
        // Whole characters only: the cut never splits a double-byte pair.
        size_t at = 0;
        while (at < title.size()) at += page.CharLength(title, at);
        fuzz::Check(at == title.size(), "title ends on a character boundary");
        const std::string description = item->GetDisplayDescription(&cut);
        fuzz::Check(description.size() <= CCatalogItem::kMaxDisplayText,
                    "description within the limit");
        // A title with no placeholder in reach is the name itself.
        if (item->m_strName.find('%') == std::string::npos &&
            item->m_strName.find("  ") == std::string::npos &&
            item->m_strName.size() <= CCatalogItem::kMaxDisplayText)
            fuzz::Check(title == item->m_strName, "plain name is the title");
    }
    translation::Clear();
    platform::CodePage::SetHostAnsi(1252);
    return 0;
}
