// Shared pieces of the in-process Windows tests: a private program folder with the
// resource library, file helpers, and a message box that never waits.
#pragma once
#include <windows.h>

#include <string>
#include <utility>
#include <vector>

namespace pinora::test {

// A new empty folder under the temp folder, with a trailing backslash.
std::string MakeTempFolder(const char* prefix);
void RemoveFolder(const std::string& folder);
bool FileExists(const std::string& path);
std::string ReadFileBytes(const std::string& path);
void WriteFileBytes(const std::string& path, const std::string& bytes);
// The key=value lines of a settings file as ("SECTION/key", value), in file order.
using IniLines = std::vector<std::pair<std::string, std::string>>;
IniLines ReadIniInOrder(const std::string& path);
// A 24-bit .bmp file of one colour.
void WriteBitmapFile(const std::string& path, int width, int height, COLORREF colour);

// A program folder holding DoRoRaz.dll, installed as the program folder.
class ProgramFolderFixture {
public:
    ProgramFolderFixture();
    ~ProgramFolderFixture();
    const std::string& Path() const { return folder_; }

private:
    std::string folder_;
};

// Runs what is queued until cond() holds or the time is up.
template <typename Cond>
bool PumpUntil(Cond cond, DWORD timeoutMs = 3000) {
    DWORD start = GetTickCount();
    while (!cond()) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        if (GetTickCount() - start > timeoutMs) return cond();
        Sleep(5);
    }
    return true;
}

// Messages boxes shown during the tests, newest last.
extern int g_messageBoxCount;
extern std::string g_lastMessageBoxText;

}  // namespace pinora::test
