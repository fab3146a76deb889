#include "SyncPlatform_win.h"

#include <windows.h>
#include <bcrypt.h>

namespace pnsync {
namespace {

std::wstring ToWide(UINT codePage, const std::string& text, DWORD flags, bool* ok) {
    *ok = true;
    if (text.empty()) return std::wstring();
    const int n = MultiByteToWideChar(codePage, flags, text.data(), static_cast<int>(text.size()), nullptr, 0);
    if (n <= 0) {
        *ok = false;
        return std::wstring();
    }
    std::wstring w(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(codePage, flags, text.data(), static_cast<int>(text.size()), &w[0], n);
    return w;
}

SYSTEMTIME ToSystemTime(const CivilTime& t) {
    SYSTEMTIME s = {};
    s.wYear = static_cast<WORD>(t.year);
    s.wMonth = static_cast<WORD>(t.month);
    s.wDay = static_cast<WORD>(t.day);
    s.wHour = static_cast<WORD>(t.hour);
    s.wMinute = static_cast<WORD>(t.minute);
    s.wSecond = static_cast<WORD>(t.second);
    return s;
}

CivilTime FromSystemTime(const SYSTEMTIME& s) {
    CivilTime t;
    t.year = s.wYear;
    t.month = s.wMonth;
    t.day = s.wDay;
    t.hour = s.wHour;
    t.minute = s.wMinute;
    t.second = s.wSecond;
    return t;
}

}  // namespace

bool AnsiCodec::ToUtf8(const std::string& local, std::string* utf8) const {
    bool ok = false;
    std::wstring w = ToWide(CP_ACP, local, MB_ERR_INVALID_CHARS, &ok);
    utf8->clear();
    // Bytes the code page cannot read (a text of another program's, not UTF-8)
    // go as U+FFFD, as the windows show them: never as an empty text that
    // would replace the server's copy.
    bool readable = ok;
    if (!ok) w = ToWide(CP_ACP, local, 0, &ok);
    if (!ok || w.empty()) return readable && ok;
    const int n = WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), nullptr, 0, nullptr, nullptr);
    utf8->assign(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), &(*utf8)[0], n, nullptr, nullptr);
    return readable;
}

bool AnsiCodec::FromUtf8(const std::string& utf8, std::string* local) const {
    bool ok = false;
    const std::wstring w = ToWide(CP_UTF8, utf8, 0, &ok);
    local->clear();
    if (w.empty()) return ok;
    if (GetACP() == CP_UTF8) {
        // The code page is UTF-8 itself: nothing is lost (and the "used a
        // default character" answer is not given for it).
        const int n = WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), nullptr, 0, nullptr, nullptr);
        local->assign(static_cast<size_t>(n), '\0');
        WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), &(*local)[0], n, nullptr, nullptr);
        return true;
    }
    BOOL usedDefault = FALSE;
    const int n = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, w.data(), static_cast<int>(w.size()), nullptr, 0,
                                      "?", &usedDefault);
    local->assign(static_cast<size_t>(n), '\0');
    usedDefault = FALSE;
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, w.data(), static_cast<int>(w.size()), &(*local)[0], n, "?",
                        &usedDefault);
    return usedDefault == FALSE;
}

bool AnsiCodec::MultiByte() const {
    CPINFO info = {};
    return GetACP() == CP_UTF8 || (GetCPInfo(CP_ACP, &info) && info.MaxCharSize > 1);
}

long long WindowsZone::ToUtc(const CivilTime& local) const {
    const SYSTEMTIME l = ToSystemTime(local);
    SYSTEMTIME u = {};
    if (!TzSpecificLocalTimeToSystemTime(nullptr, &l, &u)) return SecondsFromCivil(local);
    return SecondsFromCivil(FromSystemTime(u));
}

CivilTime WindowsZone::FromUtc(long long utc) const {
    const SYSTEMTIME u = ToSystemTime(CivilFromSeconds(utc));
    SYSTEMTIME l = {};
    if (!SystemTimeToTzSpecificLocalTime(nullptr, &u, &l)) return CivilFromSeconds(utc);
    return FromSystemTime(l);
}

std::string NewUid() {
    unsigned char bytes[16] = {};
    if (BCryptGenRandom(nullptr, bytes, sizeof bytes, BCRYPT_USE_SYSTEM_PREFERRED_RNG) != 0) {
        // Never two alike in one process even so: time, tick and a counter.
        static LONG counter = 0;
        FILETIME ft;
        GetSystemTimeAsFileTime(&ft);
        const DWORD values[] = {ft.dwLowDateTime, ft.dwHighDateTime, GetTickCount(),
                                static_cast<DWORD>(InterlockedIncrement(&counter))};
        memcpy(bytes, values, sizeof bytes);
    }
    static const char* kHex = "0123456789abcdef";
    std::string uid = "pinora-";
    for (unsigned char b : bytes) {
        uid += kHex[b >> 4];
        uid += kHex[b & 15];
    }
    return uid;
}

}  // namespace pnsync
