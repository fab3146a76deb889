// The store's view of Windows: the ANSI code page, and the folder of the
// module this code was linked into (PnPwdBox.dll, or a test program).
#include <windows.h>

#include <vector>

#include "StorePlatform.h"

namespace pnstore {
namespace {

bool ToWide(UINT codePage, const char* text, std::vector<wchar_t>& wide) {
    int n = MultiByteToWideChar(codePage, 0, text, -1, nullptr, 0);
    if (n <= 0) return false;
    wide.resize(size_t(n));
    return MultiByteToWideChar(codePage, 0, text, -1, wide.data(), n) == n;
}

bool FromWide(UINT codePage, const std::vector<wchar_t>& wide, std::string& out, size_t limit) {
    int n = WideCharToMultiByte(codePage, 0, wide.data(), -1, nullptr, 0, nullptr, nullptr);
    if (n <= 0 || size_t(n) > limit) return false;
    std::vector<char> bytes(static_cast<size_t>(n));
    if (WideCharToMultiByte(codePage, 0, wide.data(), -1, bytes.data(), n, nullptr, nullptr) != n) return false;
    out.assign(bytes.data());
    return true;
}

}  // namespace

bool AnsiToUtf8(const char* ansi, std::string& utf8, size_t limit) {
    std::vector<wchar_t> wide;
    // SQLite opens files by their wide names, which end within MAX_PATH.
    return ansi && ToWide(CP_ACP, ansi, wide) && wide.size() <= MAX_PATH && FromWide(CP_UTF8, wide, utf8, limit);
}

bool Utf8ToAnsi(const char* utf8, std::string& ansi) {
    std::vector<wchar_t> wide;
    return utf8 && ToWide(CP_UTF8, utf8, wide) && FromWide(CP_ACP, wide, ansi, size_t(-1));
}

bool IsLeadByte(unsigned char byte) { return IsDBCSLeadByte(byte) != FALSE; }

std::string ModuleFolderFromSystem() {
    HMODULE self = nullptr;
    if (!GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                            reinterpret_cast<LPCSTR>(&ModuleFolderFromSystem), &self))
        return "";
    char path[MAX_PATH + 1] = {};
    DWORD n = GetModuleFileNameA(self, path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return "";
    std::string folder(path, n);
    size_t slash = folder.find_last_of('\\');
    return slash == std::string::npos ? std::string() : folder.substr(0, slash + 1);
}

}  // namespace pnstore
