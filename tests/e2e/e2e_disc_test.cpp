// The menu from a disc: the sample medium packed by medium-pack, its image
// extracted and mapped as a CD-ROM drive (tests/e2e/cd_drive_test.sh does
// that and passes the drive's root), wizard.exe started from the drive's
// root as autorun starts it.
#include "driver.h"

#include "resources/builtin_texts.h"
#include "resources/resource.h"

#include <gtest/gtest.h>

#include <string>

using e2e::Record;
using e2e::Wizard;

namespace {

// The last line of the description line: the command it names.
std::string Command(const Wizard& w) {
    const std::string text = w.Text(IDC_DESCRIPTION);
    const size_t nl = text.rfind('\n');
    return nl == std::string::npos ? std::string() : text.substr(nl + 1);
}

TEST(Disc, TheMenuRunsFromTheCdDrive) {
    const std::string root = e2e::Settings().disc;
    ASSERT_FALSE(root.empty()) << "needs --disc=ROOT (tests/e2e/cd_drive_test.sh)";
    ASSERT_EQ(GetDriveTypeA(root.c_str()), static_cast<UINT>(DRIVE_CDROM)) << root;

    Record record;
    Wizard w(root);
    ASSERT_TRUE(w.Started());
    EXPECT_EQ(w.Text(IDC_TITLE), "Vantrell Software Collection 2026");
    EXPECT_EQ(w.Text(IDC_DESCRIPTION), TEXT_CHOOSE_OPTION);

    w.Hover(IDC_OPTION1);
    ASSERT_TRUE(w.WaitFocus(IDC_OPTION1));
    EXPECT_TRUE(e2e::WaitFor([&] { return Command(w) == "(" + root + "office\\setup.exe)"; },
                             2000))
        << w.Text(IDC_DESCRIPTION);

    // The sub-menu of the utilities, and a program there.
    w.Hover(IDC_OPTION4);
    ASSERT_TRUE(w.WaitFocus(IDC_OPTION4));
    w.Click(IDC_OPTION4);
    ASSERT_TRUE(e2e::WaitFor([&] { return w.Text(IDC_TITLE) == "Utilities"; }, 3000));
    w.Hover(IDC_OPTION1);
    ASSERT_TRUE(w.WaitFocus(IDC_OPTION1));
    const std::string program = root + "tools\\archiver\\setup.exe";
    EXPECT_TRUE(e2e::WaitFor([&] { return Command(w) == "(" + program + ")"; }, 2000))
        << w.Text(IDC_DESCRIPTION);
    w.Click(IDC_OPTION1);
    ASSERT_TRUE(record.WaitForStarts(1, 10000));
    const e2e::Start start = record.Starts().front();
    EXPECT_EQ(start.commandLine, program);
    EXPECT_EQ(start.folder, root + "tools\\archiver");
    EXPECT_TRUE(w.WaitEnded());
}

}  // namespace
