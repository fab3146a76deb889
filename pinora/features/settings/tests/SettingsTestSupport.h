// Shared pieces of the settings dialog's tests: a stand-in main window that
// counts MWM_STICKSCHANGED, clicks as the user makes them, and the settings file
// read back in the order its keys were written (ReadIniInOrder of WinTestSupport).
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "WinTestSupport.h"

namespace pinora::test {

// A hidden top-level window that counts the rebuilds it is asked for.
class FakeMainWindow {
public:
    FakeMainWindow();
    ~FakeMainWindow();
    HWND hwnd() const { return hwnd_; }
    int TodayRebuilds() const;

private:
    HWND hwnd_ = nullptr;
};

// A click on a button of dlg: a check box changes its state first, as a real
// click does, then the dialog hears BN_CLICKED.
void Click(HWND dlg, int id);
// Types text into a control of dlg (replacing what was there).
void Type(HWND dlg, int id, const std::string& text);
std::string TextOf(HWND dlg, int id);
bool IsChecked(HWND dlg, int id);

// The keys of one section, in file order.
std::vector<std::string> KeysOf(const IniLines& lines, const std::string& section);
// The value of "SECTION/key", or "<missing>".
std::string ValueOf(const IniLines& lines, const std::string& sectionKey);

}  // namespace pinora::test
