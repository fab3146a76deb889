// Process set-up for the in-process Windows tests: OLE for the drop target, and a
// message box that answers at once instead of waiting for a click.
#include <windows.h>
#include <ole2.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include "MessageBox.h"
#include "ResourceLibrary.h"
#include "Settings.h"
#include "WinTestSupport.h"

namespace pinora::test {

int g_messageBoxCount = 0;
std::string g_lastMessageBoxText;

namespace {

int AnswerAtOnce(HWND, const char* text, const char*, UINT type) {
    ++g_messageBoxCount;
    g_lastMessageBoxText = text;
    UINT buttons = type & MB_TYPEMASK;
    return (buttons == MB_YESNO || buttons == MB_YESNOCANCEL) ? IDYES : IDOK;
}

class WinEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        OleInitialize(nullptr);
        uikit::SetMessageBoxHandler(AnswerAtOnce);
    }
    void TearDown() override {
        FreeResLib();
        OleUninitialize();
    }
};

const auto* const g_env = ::testing::AddGlobalTestEnvironment(new WinEnvironment);

}  // namespace

ProgramFolderFixture::ProgramFolderFixture() : folder_(MakeTempFolder("pinora-p")) {
    CopyFileA(PINORA_DIST_DIR "/DoRoRaz.dll", (folder_ + "DoRoRaz.dll").c_str(), FALSE);
    FreeResLib();
    SetProgramFolder(folder_);
}

ProgramFolderFixture::~ProgramFolderFixture() {
    FreeResLib();
    SetProgramFolder("");
    RemoveFolder(folder_);
}

}  // namespace pinora::test
