#include "Launchers.h"

#include "CommandRules.h"
#include "DoRoRazIds.h"
#include "MessageBox.h"
#include "ResourceLibrary.h"
#include "Settings.h"
#include "ShellOpen.h"

namespace pinora {
namespace {

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

void ReportMissing(HWND owner, UINT textId) {
    std::string text = LoadResString(textId, 512);
    std::string caption = LoadResString(IDS_CAPTION);
    uikit::ShowMessageBox(owner, text.c_str(), caption.c_str(), MB_OK | MB_ICONINFORMATION);
}

// A program started with the shell, or the message that it is not installed.
bool StartInstalled(HWND owner, const std::string& path, const std::string& params, UINT missingText) {
    if (!Exists(path)) {
        ReportMissing(owner, missingText);
        return false;
    }
    return uikit::ShellOpen(nullptr, path.c_str(), params.empty() ? nullptr : params.c_str()) > 32;
}

}  // namespace

bool StartCompanionEditor(HWND owner, const std::string& noteFile) {
    // Quoted, so that a folder name with spaces reaches the editor as one path.
    std::string params = noteFile.empty() ? "" : "\"" + noteFile + "\"";
    return StartInstalled(owner, ProgramFolder() + "VekPad.exe", params, IDS_VEKPAD_MISSING);
}

bool StartScreenCapture(HWND owner) {
    return StartInstalled(owner, ProgramFolder() + "plugin\\screencap\\ScreenCapture.exe", "0",
                          IDS_SCREEN_CAPTURE_MISSING);
}

void RunProgramByName(const std::string& name) {
    uikit::ShellOpen(nullptr, ProgramFileName(name).c_str(), nullptr);
}

std::string DictionaryPrefix() {
    std::string prefix = ReadSetting("SETTINGS", "dict_url", static_cast<int>(kLookupUrlMax) + 1);
    return prefix.empty() ? kDefaultDictionaryPrefix : prefix;
}

}  // namespace pinora
