// The menu as a user meets it: a medium laid out in a temporary folder,
// wizard.exe started from its root, the real mouse and keyboard, and what
// the screen and the started programs show.
#include "driver.h"

#include "resources/builtin_texts.h"
#include "resources/resource.h"

#include <gtest/gtest.h>

#include <string>

using e2e::Box;
using e2e::Medium;
using e2e::Record;
using e2e::Wizard;

namespace {

const COLORREF kHighlight = RGB(8, 0, 255);
const COLORREF kNormal = RGB(8, 0, 0);

const int kOptions[] = {IDC_OPTION1, IDC_OPTION2, IDC_OPTION3, IDC_OPTION4,
                        IDC_OPTION5, IDC_OPTION6, IDC_OPTION7};

// A medium with a program, a sub-menu with one entry of its own, and the
// root's descriptor.
class Menu : public ::testing::Test {
protected:
    void SetUp() override {
        medium.Product("", "name=Sample Medium\r\ndescription=All products\r\n");
        medium.Product("viewer", "name=Viewer %V\r\nversion=2.1\r\n"
                                 "description=Installs %P\r\nfile=setup.exe\r\npriority=1\r\n");
        medium.Recorder("viewer\\setup.exe");
        medium.Product("tools", "name=Tools\r\ndescription=More of %P\r\npriority=2\r\n");
        medium.Product("tools\\tool", "name=Tool One\r\nfile=tool.exe\r\n");
        medium.Recorder("tools\\tool\\tool.exe");
    }

    // Checks the page: its title and the options' texts, the rest hidden.
    void ExpectPage(const Wizard& w, const std::string& title,
                    const std::vector<std::string>& options) {
        EXPECT_EQ(w.Text(IDC_TITLE), title);
        for (size_t i = 0; i < 7; ++i) {
            if (i < options.size()) {
                EXPECT_EQ(w.Text(kOptions[i]), options[i]) << "slot " << i + 1;
                EXPECT_TRUE(w.Visible(kOptions[i])) << "slot " << i + 1;
            } else {
                EXPECT_FALSE(w.Visible(kOptions[i])) << "slot " << i + 1;
            }
        }
    }

    Medium medium;
    Record record;
};

TEST_F(Menu, HoverHighlightsAndDescribes) {
    Wizard w(medium);
    ASSERT_TRUE(w.Started());
    ExpectPage(w, "Sample Medium", {"Viewer 2.1", "Tools"});
    EXPECT_EQ(w.Text(IDC_DESCRIPTION), TEXT_CHOOSE_OPTION);
    char caption[256] = "";
    GetWindowTextA(w.Window(), caption, sizeof caption);
    EXPECT_STREQ(caption, TEXT_CAPTION);

    w.Hover(IDC_OPTION1);
    ASSERT_TRUE(w.WaitFocus(IDC_OPTION1));
    const std::string path = medium.Path("viewer\\setup.exe");
    EXPECT_TRUE(e2e::WaitFor([&] {
        return w.Text(IDC_DESCRIPTION) == "Installs Viewer 2.1\n(" + path + ")";
    }, 2000)) << w.Text(IDC_DESCRIPTION);
    EXPECT_TRUE(e2e::WaitFor([&] { return w.CountPixels(IDC_OPTION1, kHighlight) > 20; }, 2000));
    EXPECT_EQ(w.CountPixels(IDC_OPTION2, kHighlight), 0);
    EXPECT_GT(w.CountPixels(IDC_OPTION2, kNormal), 20);

    // A sub-menu's description names no command.
    w.Hover(IDC_OPTION2);
    ASSERT_TRUE(w.WaitFocus(IDC_OPTION2));
    EXPECT_TRUE(e2e::WaitFor([&] { return w.Text(IDC_DESCRIPTION) == "More of Tools"; }, 2000))
        << w.Text(IDC_DESCRIPTION);
    EXPECT_TRUE(e2e::WaitFor([&] { return w.CountPixels(IDC_OPTION1, kHighlight) == 0; }, 2000));
    EXPECT_GT(w.CountPixels(IDC_OPTION2, kHighlight), 20);

    // Off the options: the hint comes back and nothing is highlighted.
    w.HoverBackground();
    EXPECT_TRUE(e2e::WaitFor([&] { return w.Text(IDC_DESCRIPTION) == TEXT_CHOOSE_OPTION; }, 2000));
    EXPECT_TRUE(e2e::WaitFor([&] { return w.CountPixels(IDC_OPTION2, kHighlight) == 0; }, 2000));
    EXPECT_TRUE(w.Running());
    EXPECT_TRUE(record.Starts().empty());
}

TEST_F(Menu, SubMenuAndBackThroughTheTitle) {
    Wizard w(medium);
    ASSERT_TRUE(w.Started());
    w.Click(IDC_OPTION2);
    EXPECT_TRUE(e2e::WaitFor([&] { return w.Text(IDC_TITLE) == "Tools"; }, 3000));
    ExpectPage(w, "Tools", {"Tool One"});
    EXPECT_EQ(w.Text(IDC_DESCRIPTION), TEXT_CHOOSE_OPTION);
    EXPECT_TRUE(w.Running());

    // The title leads back, and is highlighted like an option on the way.
    w.Hover(IDC_TITLE);
    ASSERT_TRUE(w.WaitFocus(IDC_TITLE));
    EXPECT_TRUE(e2e::WaitFor([&] { return w.CountPixels(IDC_TITLE, kHighlight) > 20; }, 2000));
    EXPECT_EQ(w.Text(IDC_DESCRIPTION), "All products");
    w.Click(IDC_TITLE);
    EXPECT_TRUE(e2e::WaitFor([&] { return w.Text(IDC_TITLE) == "Sample Medium"; }, 3000));
    ExpectPage(w, "Sample Medium", {"Viewer 2.1", "Tools"});
    EXPECT_TRUE(w.Running());
    EXPECT_TRUE(record.Starts().empty());
}

TEST_F(Menu, EscapeClosesTheMenu) {
    Wizard w(medium);
    ASSERT_TRUE(w.Started());
    w.Key(VK_ESCAPE);
    EXPECT_TRUE(w.WaitEnded());
    EXPECT_TRUE(record.Starts().empty());
}

TEST_F(Menu, EnterClosesTheMenuWithoutStartingTheHighlightedOption) {
    Wizard w(medium);
    ASSERT_TRUE(w.Started());
    w.Hover(IDC_OPTION1);
    ASSERT_TRUE(w.WaitFocus(IDC_OPTION1));
    w.Key(VK_RETURN);
    EXPECT_TRUE(w.WaitEnded());
    Sleep(300);
    EXPECT_TRUE(record.Starts().empty());
}

}  // namespace
