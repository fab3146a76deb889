// Shared set-up of the skin and wink tests: a program folder of their own into
// which the test skin libraries, wink files and the stand-in player are copied.
#pragma once
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "Catalogues_win.h"
#include "Skin.h"
#include "WinTestSupport.h"
#include "WinkPlayer.h"

namespace pinora::test {

class SkinsWinksTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetDefaultWinkPath();
        uikit::ClearSkin();
        DeleteFileA(TempWinkPath().c_str());
    }
    void TearDown() override {
        uikit::ClearSkin();
        ResetDefaultWinkPath();
        DeleteFileA(TempWinkPath().c_str());
    }
    // Copies a built test file into P\<subfolder> (or P itself for ""); its new path.
    std::string Stage(const char* file, const char* subfolder, const char* asName = nullptr) {
        std::string dir = folder.Path() + subfolder;
        if (*subfolder) {
            CreateDirectoryA(dir.c_str(), nullptr);
            dir += "\\";
        }
        std::string to = dir + (asName ? asName : file);
        EXPECT_TRUE(CopyFileA((std::string(PINORA_SKINS_TESTDATA "/") + file).c_str(), to.c_str(), FALSE))
            << "cannot stage " << file;
        return to;
    }

    ProgramFolderFixture folder;
};

}  // namespace pinora::test
