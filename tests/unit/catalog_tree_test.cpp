// The catalog tree on its own: the order AddChild keeps, the display texts
// computed from an item and its ancestors, and destruction of a subtree.
#include "catalog/catalog_item.h"
#include "platform/codepage.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace {

std::unique_ptr<CCatalogItem> Item(const std::string& name, int priority = 0,
                                   const std::string& version = "") {
    std::unique_ptr<CCatalogItem> item(new CCatalogItem);
    item->m_strName = name;
    item->m_strVersion = version;
    item->m_nPriority = priority;
    return item;
}

// Makes `owned` the only child of `root`, named `parentName`; a null name
// leaves it on its own (and in `owned`). Returns the item.
const CCatalogItem* Place(CCatalogItem& root, std::unique_ptr<CCatalogItem>& owned,
                          const char* parentName) {
    const CCatalogItem* item = owned.get();
    if (parentName) {
        root.m_strName = parentName;
        root.AddChild(std::move(owned));
    }
    return item;
}

struct OrderCase {
    std::vector<int> priorities;  // in order of arrival
    std::vector<int> expected;    // indices of arrival, in list order
};

TEST(CatalogTree, AddChildOrdersByPriorityWithZeroLast) {
    const OrderCase cases[] = {
        {{5, 0, 2, 5, 0, -1}, {5, 2, 0, 3, 1, 4}},
        {{0, 0, 3}, {2, 0, 1}},
        {{3, 2, 1}, {2, 1, 0}},
        {{1, 1, 1}, {0, 1, 2}},
        {{0, 7}, {1, 0}},
        {{-2, 0, -5, 4, -2}, {2, 0, 4, 3, 1}},
        {{INT_MAX, INT_MIN, 0, -1}, {1, 3, 0, 2}},  // signed, no overflow
    };
    for (const OrderCase& c : cases) {
        CCatalogItem parent;
        std::vector<const CCatalogItem*> arrived;
        for (int p : c.priorities) {
            auto child = Item("x", p);
            arrived.push_back(child.get());
            parent.AddChild(std::move(child));
        }
        std::vector<int> order;
        for (const auto& child : parent.m_children) {
            EXPECT_EQ(child->m_pParent, &parent);
            for (size_t i = 0; i < arrived.size(); ++i)
                if (arrived[i] == child.get()) order.push_back(static_cast<int>(i));
        }
        EXPECT_EQ(order, c.expected) << "priorities starting " << c.priorities[0];
    }
}

TEST(CatalogTree, AddChildIgnoresNothingToAdd) {
    CCatalogItem parent;
    parent.AddChild(nullptr);
    EXPECT_TRUE(parent.m_children.empty());
}

struct TitleCase {
    const char* name;
    const char* version;
    const char* parentName;  // nullptr: the item is the root
    const char* expected;
};

TEST(CatalogTree, TitleFillsPlaceholdersAndHalvesBlankRuns) {
    const TitleCase cases[] = {
        {"Tools %V", "", nullptr, "Tools "},
        {"Tools %V setup", "", nullptr, "Tools setup"},
        {"Viewer %V", "2.1", nullptr, "Viewer 2.1"},
        {"%T - extras", "", "Office", "Office - extras"},
        {"%T - extras", "", nullptr, "%T - extras"},
        {"a    b", "", nullptr, "a  b"},     // one blank pass
        {"a    b", "", "P", "a b"},          // two blank passes
        {"a   b", "", nullptr, "a  b"},      // three become two
        {"a     b", "", "P", "a  b"},        // five: 3, then 2
        {"%v %t", "1", "P", "%v %t"},        // lower case is plain text
        {"%V%V|%V", "1", nullptr, "11|1"},
        {"%V", "%V", nullptr, "%V"},         // inserted text is not searched again
        {"%V", "%T", "P", "P"},              // but a later step fills it
        {"%TV", "9", "%", "%V"},             // a "%V" made in the "%T" step stays
        {"%T", "", "A    B", "A B"},         // the parent's title, then the pass
        {"%%VV", "", nullptr, "%V"},
        {"", "1", "P", ""},
        {"%", "", "P", "%"},
    };
    for (const TitleCase& c : cases) {
        CCatalogItem root;
        std::unique_ptr<CCatalogItem> owned = Item(c.name, 0, c.version);
        const CCatalogItem* item = Place(root, owned, c.parentName);
        EXPECT_EQ(item->GetTitle(), c.expected) << '"' << c.name << '"';
    }
}

TEST(CatalogTree, TitleFollowsEveryAncestor) {
    CCatalogItem root;
    root.m_strName = "Suite %V";
    root.m_strVersion = "7";
    auto mid = Item("%T > Tools");
    auto leaf = Item("%T > %V", 0, "1.0");
    CCatalogItem* midItem = mid.get();
    CCatalogItem* leafItem = leaf.get();
    EXPECT_EQ(leafItem->GetTitle(), "%T > 1.0");  // not attached yet
    midItem->AddChild(std::move(leaf));
    root.AddChild(std::move(mid));
    EXPECT_EQ(leafItem->GetTitle(), "Suite 7 > Tools > 1.0");
    // Computed afresh: a change above shows at once.
    root.m_strName = "Other";
    EXPECT_EQ(leafItem->GetTitle(), "Other > Tools > 1.0");
}

struct DescriptionCase {
    const char* description;
    const char* name;
    const char* version;
    const char* parentName;  // nullptr: the item is the root
    const char* expected;
};

TEST(CatalogTree, DescriptionFillsTitleVersionAndParent) {
    const DescriptionCase cases[] = {
        {"Installs %P (%V)", "Viewer %V", "2.1", nullptr, "Installs Viewer 2.1 (2.1)"},
        {"%P in %T", "Viewer", "", "Office", "Viewer in Office"},
        {"%P in %T", "Viewer", "", nullptr, "Viewer in %T"},
        {"%P", "%T x", "", "Office", "Office x"},
        {"%P", "%T x", "", nullptr, "%T x"},
        {"%T", "Viewer", "9", "%%VV", "%V"},  // a "%V" from the parent stays
        {"a    b", "", "", nullptr, "a b"},   // two passes on the root
        {"a        b", "", "", "P", "a b"},   // three with a parent: 8, 4, 2, 1
        {"%p %v %t", "n", "1", "P", "%p %v %t"},
        {"", "n", "1", "P", ""},
        {"%P%P", "%V", "%P", nullptr, "%P%P"},  // the version brings "%P": stays
    };
    for (const DescriptionCase& c : cases) {
        CCatalogItem root;
        std::unique_ptr<CCatalogItem> owned = Item(c.name, 0, c.version);
        owned->m_strDescription = c.description;
        const CCatalogItem* item = Place(root, owned, c.parentName);
        EXPECT_EQ(item->GetDisplayDescription(), c.expected) << '"' << c.description << '"';
    }
}

#ifndef _WIN32
// A double-byte character whose second byte is 'V' (0x56) must not be taken
// for half of a placeholder.
TEST(CatalogTree, PlaceholdersInDoubleByteTextOnTheHost) {
    platform::CodePage::SetHostAnsi(932);
    const std::string shi = "\x83\x56";  // katakana SI, second byte 'V'
    CCatalogItem root;
    root.m_strName = "%" + shi + "%V" + shi;
    root.m_strVersion = "2";
    EXPECT_EQ(root.GetTitle(), "%" + shi + "2" + shi);
    root.m_strName = "\x83%V";  // a lead byte swallows the '%'
    EXPECT_EQ(root.GetTitle(), "\x83%V");
    platform::CodePage::SetHostAnsi(1252);
    EXPECT_EQ(root.GetTitle(), "\x83" "2");
}
#endif

// The bound on display texts. Each case is a chain from the root down; the
// last item's title (and, with "%P", its description) is checked: its
// length, whether it was cut, and that it is the exact text's beginning.
struct BoundCase {
    const char* what;
    unsigned codePage;
    std::vector<std::string> names;  // root first
    size_t length;                   // of the last title
    bool cut;
    std::string begins;              // the last title begins with this
};

std::string Times(const std::string& s, size_t n) {
    std::string out;
    for (size_t i = 0; i < n; ++i) out += s;
    return out;
}

TEST(CatalogTree, DisplayTextsStopAtTheLimit) {
    const size_t L = CCatalogItem::kMaxDisplayText;
    const std::string dbcs = "\x83\x41";  // a Shift-JIS character
    std::vector<std::string> doubling(14, "%T%T");
    doubling[0] = "x";
    std::vector<std::string> exactly(13, "%T%T");
    exactly[0] = "x";
    const BoundCase cases[] = {
        // 2^12 = 4096 bytes: at the limit, yet not cut.
        {"doubling to the limit", 1252, exactly, L, false, std::string(L, 'x')},
        {"doubling past it", 1252, doubling, L, true, std::string(L, 'x')},
        {"129 %T a level", 1252,
         {"ab", Times("%T", 129), Times("%T", 129), Times("%T", 129), Times("%T", 129)},
         L, true, Times("ab", L / 2)},
        {"8,000 %T from a translation", 1252, {"a b", Times("%T ", 8000)}, L, true,
         Times("a b ", 100)},
        // The blank pass halves a long run: the whole text fits after all.
        {"8,000 blanks", 1252, {std::string(8000, ' ') + "end"}, 4003, false,
         std::string(4000, ' ') + "end"},
        {"a long name alone", 1252, {std::string(L + 500, 'n')}, L, true, std::string(L, 'n')},
#ifndef _WIN32
        // Never half of a double-byte character.
        {"cut before a double-byte pair", 932,
         {std::string(L - 1, 'a') + dbcs + "%T", "%T"}, L - 1, true, std::string(L - 1, 'a')},
#endif
    };
    for (const BoundCase& c : cases) {
        platform::CodePage::SetHostAnsi(c.codePage);
        CCatalogItem root;
        root.m_strName = c.names[0];
        CCatalogItem* tip = &root;
        for (size_t i = 1; i < c.names.size(); ++i) {
            auto next = Item(c.names[i]);
            CCatalogItem* raw = next.get();
            tip->AddChild(std::move(next));
            tip = raw;
        }
        tip->m_strDescription = "%P%T%P";
        bool cut = !c.cut;
        const std::string title = tip->GetTitle(&cut);
        EXPECT_EQ(title.size(), c.length) << c.what;
        EXPECT_EQ(cut, c.cut) << c.what;
        EXPECT_EQ(title.compare(0, c.begins.size(), c.begins), 0) << c.what;
        bool descriptionCut = false;
        const std::string description = tip->GetDisplayDescription(&descriptionCut);
        EXPECT_LE(description.size(), L) << c.what;
        if (c.cut) {
            EXPECT_TRUE(descriptionCut) << c.what;
        }
    }
    platform::CodePage::SetHostAnsi(1252);
}

// Records the order in which items go; each records itself when its own
// destruction begins, before its children are taken down.
class CountedItem : public CCatalogItem {
public:
    CountedItem(std::vector<std::string>* log, const std::string& name)
        : m_log(log) {
        m_strName = name;
    }
    ~CountedItem() override { m_log->push_back(m_strName); }

private:
    std::vector<std::string>* m_log;
};

TEST(CatalogTree, DestroyingTheRootDestroysEveryItemOnceDepthFirst) {
    std::vector<std::string> log;
    {
        CountedItem root(&log, "R");
        auto a = std::unique_ptr<CCatalogItem>(new CountedItem(&log, "A"));
        auto a1 = std::unique_ptr<CCatalogItem>(new CountedItem(&log, "A1"));
        auto a2 = std::unique_ptr<CCatalogItem>(new CountedItem(&log, "A2"));
        auto a21 = std::unique_ptr<CCatalogItem>(new CountedItem(&log, "A21"));
        auto b = std::unique_ptr<CCatalogItem>(new CountedItem(&log, "B"));
        auto c = std::unique_ptr<CCatalogItem>(new CountedItem(&log, "C"));
        b->m_nPriority = 2;
        c->m_nPriority = 1;  // goes before B
        a2->AddChild(std::move(a21));
        a->AddChild(std::move(a1));
        a->AddChild(std::move(a2));
        root.AddChild(std::move(a));
        root.AddChild(std::move(b));
        root.AddChild(std::move(c));
        EXPECT_TRUE(log.empty());
    }
    const std::vector<std::string> expected = {"R", "C", "B", "A", "A1", "A2", "A21"};
    EXPECT_EQ(log, expected);
    EXPECT_EQ(std::set<std::string>(log.begin(), log.end()).size(), log.size());
}

TEST(CatalogTree, ADeepChainIsDestroyedWhole) {
    std::vector<std::string> log;
    {
        CountedItem root(&log, "0");
        CCatalogItem* tip = &root;
        for (int i = 1; i <= 500; ++i) {
            auto next = std::unique_ptr<CCatalogItem>(new CountedItem(&log, std::to_string(i)));
            CCatalogItem* raw = next.get();
            tip->AddChild(std::move(next));
            tip = raw;
        }
    }
    ASSERT_EQ(log.size(), 501u);
    for (size_t i = 0; i < log.size(); ++i) EXPECT_EQ(log[i], std::to_string(i));
}

}  // namespace
