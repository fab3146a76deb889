// The programs the main window starts: the companion editor, the screen-capture
// plug-in, programs run by name, and the dictionary's address prefix.
#pragma once
#include <windows.h>

#include <string>

namespace pinora {

// "VekPad.exe" in the program folder, opened on noteFile ("" opens it on no
// file). When it is missing: message 59, owned by owner; false.
bool StartCompanionEditor(HWND owner, const std::string& noteFile);

// "plugin\screencap\ScreenCapture.exe" below the program folder, with "0". When
// it is missing: message 64, owned by owner; false.
bool StartScreenCapture(HWND owner);

// Runs a program the system's search path finds ("calc" runs calc.exe). Whether
// it exists is not checked: a missing program fails without a word.
void RunProgramByName(const std::string& name);

// [SETTINGS] dict_url of the settings file, or the built-in dictionary.
std::string DictionaryPrefix();

}  // namespace pinora
