// What the in-process tests of the password box share: a folder holding the
// resource libraries in place of the module's, message boxes that answer at
// once and are recorded, a driver for modal dialogs, and message pumping.
#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "Kdf.h"
#include "WinTestSupport.h"

namespace pbtest {

using pinora::test::FileExists;
using pinora::test::MakeTempFolder;
using pinora::test::PumpUntil;
using pinora::test::ReadFileBytes;
using pinora::test::RemoveFolder;

// Every message box shown, newest last; each is answered with `answer` when
// set, else with OK or Yes.
struct MessageLog {
    std::vector<std::string> texts;
    std::vector<std::string> titles;
    int answer = 0;
    void Clear() {
        texts.clear();
        titles.clear();
        answer = 0;
    }
    std::string Last() const { return texts.empty() ? std::string() : texts.back(); }
};
extern MessageLog g_messages;

// The numbered text of PNPBRes.dll, as the box shows it.
std::string Res(int id);

// A fresh folder standing in for the module's: PNPBRes.dll and DORORod.dll
// in it, no "pnpb.ini", the database "pnpb.dat" in it, nobody logged in.
class BoxFolder {
public:
    BoxFolder();
    ~BoxFolder();
    const std::string& Path() const { return folder_; }
    std::string Db() const { return folder_ + "pnpb.dat"; }
    std::string Ini() const { return folder_ + "pnpb.ini"; }
    std::string IniValue(const char* key) const;
    void SetIni(const char* key, const char* value) const;

private:
    std::string folder_;
};

// Runs queued messages for a while.
void PumpFor(DWORD ms);

// Acts on the dialogs (top-level "#32770" windows of this thread) that appear
// from now on (not those already there), one action each, in order, from a
// timer while the code under test runs its modal loop.
class DialogDriver {
public:
    explicit DialogDriver(std::vector<std::function<void(HWND)>> actions);
    ~DialogDriver();
    size_t Done() const;
    // The titles of the dialogs it acted on.
    std::vector<std::string> Titles() const;
    DialogDriver(const DialogDriver&) = delete;
    DialogDriver& operator=(const DialogDriver&) = delete;

private:
    void* state_;
};

std::string ItemText(HWND dialog, int id);
void SetItemText(HWND dialog, int id, const std::string& text);
void Click(HWND dialog, int id);

// What new boxes derive their keys with in these tests: quick.
constexpr pncrypto::KdfParameters kTestKdf = {64, 1, 1};

// The frame of a password box whose master password is set and given.
HWND LaunchLoggedIn(const char* master = "master-1");
// Types the password into the login panel, presses OK and waits until it has
// been checked (on the panel's own thread).
void SubmitMasterPassword(HWND panel, const std::string& password);

}  // namespace pbtest
