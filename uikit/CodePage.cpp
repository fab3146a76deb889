#include "CodePage.h"

#include <windows.h>

#include <cstdlib>

namespace uikit {

unsigned SystemLegacyCodePage() noexcept {
    char value[16] = {};
    DWORD size = sizeof value;
    if (RegGetValueA(HKEY_LOCAL_MACHINE, "SYSTEM\\CurrentControlSet\\Control\\Nls\\CodePage", "ACP", RRF_RT_REG_SZ,
                     nullptr, value, &size) != ERROR_SUCCESS)
        return 0;
    const unsigned long cp = std::strtoul(value, nullptr, 10);
    return cp > 0 && cp < 65536 ? static_cast<unsigned>(cp) : 0;
}

bool LegacyToUtf8(unsigned codePage, std::string_view legacy, std::string& utf8) {
    utf8.clear();
    if (legacy.empty()) return true;
    const int n = static_cast<int>(legacy.size());
    const int wide = MultiByteToWideChar(codePage, 0, legacy.data(), n, nullptr, 0);
    if (wide <= 0) return false;
    std::wstring text(static_cast<size_t>(wide), L'\0');
    if (MultiByteToWideChar(codePage, 0, legacy.data(), n, text.data(), wide) != wide) return false;
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, text.data(), wide, nullptr, 0, nullptr, nullptr);
    if (bytes <= 0) return false;
    utf8.resize(static_cast<size_t>(bytes));
    return WideCharToMultiByte(CP_UTF8, 0, text.data(), wide, utf8.data(), bytes, nullptr, nullptr) == bytes;
}

}  // namespace uikit
