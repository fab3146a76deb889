#include "WinkPlayer.h"

#include <windows.h>

#include <cstring>

#include "Handles.h"
#include "Settings.h"
#include "Utf8Text.h"

namespace pinora {
namespace {

bool WriteWholeFile(const std::string& path, const void* data, DWORD size) {
    uikit::UniqueFile file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                       FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    DWORD written = 0;
    return WriteFile(file.get(), data, size, &written, nullptr) && written == size;
}

// Starts the player and lets it go; both paths are quoted so that folders with
// spaces in their names work.
bool StartPlayer(const std::string& player, const std::string& movie) {
    std::string commandLine = "\"" + player + "\" \"" + movie + "\"";
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESHOWWINDOW;
    si.wShowWindow = SW_SHOWMAXIMIZED;
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessA(player.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                        &pi))
        return false;
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return true;
}

}  // namespace

std::string TempWinkPath() {
    char temp[MAX_PATH + 1] = {};
    DWORD n = GetTempPathA(MAX_PATH, temp);
    if (n == 0 || n > MAX_PATH) return {};
    return std::string(temp) + "Temp1.swf";
}

std::string WinkPlayerPath() { return ProgramFolder() + "VekFlash.exe"; }

bool ExtractWinkResource(const char* winkFile, int resourceId, char* out, int size) {
    if (out && size > 0) out[0] = '\0';
    if (!winkFile || !*winkFile) return false;
    uikit::UniqueModule lib(
        LoadLibraryExA(winkFile, nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
    if (!lib) return false;
    HRSRC found = FindResourceA(lib.get(), MAKEINTRESOURCEA(resourceId), "SWF");
    if (!found) return false;  // nothing to play: the player is not started on an empty argument
    HGLOBAL loaded = LoadResource(lib.get(), found);
    const void* movie = loaded ? LockResource(loaded) : nullptr;
    DWORD movieSize = SizeofResource(lib.get(), found);
    std::string temp = TempWinkPath();
    if (!movie || temp.empty() || !WriteWholeFile(temp, movie, movieSize)) return false;
    if (out && size > 0) uikit::CopyUtf8(out, static_cast<size_t>(size), temp.c_str());
    return true;
}

bool PlayWink(const char* winkFile, int resourceId) {
    if (!winkFile) return false;
    char movie[MAX_PATH + 1] = {};
    if (!ExtractWinkResource(winkFile, resourceId, movie, sizeof movie)) return false;
    std::string player = WinkPlayerPath();
    if (GetFileAttributesA(player.c_str()) == INVALID_FILE_ATTRIBUTES) return false;
    return StartPlayer(player, movie);
}

}  // namespace pinora
