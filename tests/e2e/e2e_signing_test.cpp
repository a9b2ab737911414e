// The menu as medium-pack --sign ships it, judged by Windows' own check of
// a program's signature (tests/e2e/signing_test.sh packs the sample medium
// with a certificate it makes, extracts the image and passes its folder).
// WinVerifyTrust accepts the image's wizard.exe and Online.dll, refuses a
// copy with one byte changed, and finds no signature on the build's own
// wizard.exe, which medium-pack never signs.
#include "driver.h"

#include <softpub.h>
#include <wintrust.h>

#include <gtest/gtest.h>

#include <string>

namespace {

LONG Trust(const std::string& path) {
    const std::wstring wide(path.begin(), path.end());  // the paths here are ASCII
    WINTRUST_FILE_INFO file = {};
    file.cbStruct = sizeof file;
    file.pcwszFilePath = wide.c_str();
    WINTRUST_DATA data = {};
    data.cbStruct = sizeof data;
    data.dwUIChoice = WTD_UI_NONE;
    data.fdwRevocationChecks = WTD_REVOKE_NONE;
    data.dwUnionChoice = WTD_CHOICE_FILE;
    data.pFile = &file;
    data.dwStateAction = WTD_STATEACTION_VERIFY;
    GUID action = WINTRUST_ACTION_GENERIC_VERIFY_V2;
    const LONG result = WinVerifyTrust(static_cast<HWND>(INVALID_HANDLE_VALUE), &action, &data);
    data.dwStateAction = WTD_STATEACTION_CLOSE;
    WinVerifyTrust(static_cast<HWND>(INVALID_HANDLE_VALUE), &action, &data);
    return result;
}

TEST(Signing, WindowsAcceptsTheSignedMenuAndNoChangedCopy) {
    const std::string image = e2e::DosPath(e2e::Settings().disc);
    ASSERT_FALSE(image.empty()) << "needs --disc=FOLDER (tests/e2e/signing_test.sh)";
    testing_support::TempDir dir;
    std::string bytes = testing_support::ReadAll(image + "\\wizard.exe");
    ASSERT_GT(bytes.size(), 4096u);
    bytes[1024] = static_cast<char>(bytes[1024] ^ 0x01);
    dir.Write("changed.exe", bytes);

    struct Case {
        std::string file;
        LONG result;
    } const cases[] = {
        {image + "\\wizard.exe", 0},
        {image + "\\Online.dll", 0},
        {dir / "changed.exe", TRUST_E_BAD_DIGEST},
        {e2e::Settings().dist + "\\wizard.exe", TRUST_E_NOSIGNATURE},
    };
    for (const Case& c : cases)
        EXPECT_EQ(static_cast<unsigned long>(Trust(c.file)), static_cast<unsigned long>(c.result))
            << c.file;
}

}  // namespace
