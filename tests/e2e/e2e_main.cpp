// The end-to-end suite's entry: --dist=FOLDER names the folder that holds
// wizard.exe, Online.dll and filemove.avi; --disc=ROOT the drive with a
// packed medium (tests/e2e/cd_drive_test.sh); the recorder program sits next
// to this one.
#include "driver.h"
#include "platform/system.h"

#include <gtest/gtest.h>

#include <cstring>

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    char self[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, self, sizeof self);
    e2e::Settings().recorder = platform::FolderOf(self) + "\\e2e_recorder.exe";
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], "--dist=", 7) == 0)
            e2e::Settings().dist = e2e::DosPath(argv[i] + 7);
        else if (std::strncmp(argv[i], "--disc=", 7) == 0)
            e2e::Settings().disc = argv[i] + 7;
    }
    if (e2e::Settings().dist.empty()) {
        std::fprintf(stderr, "usage: e2e_tests --dist=FOLDER [gtest options]\n");
        return 2;
    }
    return RUN_ALL_TESTS();
}
