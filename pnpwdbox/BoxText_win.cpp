#include "BoxText.h"

namespace pwdbox {
namespace {

bool ToWide(UINT codePage, const std::string& text, std::wstring& wide) {
    wide.clear();
    if (text.empty()) return true;
    const int n = MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, text.data(), int(text.size()), nullptr, 0);
    if (n <= 0) return false;
    wide.resize(size_t(n));
    return MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, text.data(), int(text.size()), &wide[0], n) == n;
}

bool FromWide(UINT codePage, const std::wstring& wide, std::string& text) {
    text.clear();
    if (wide.empty()) return true;
    // No best fit: "Ł" must not quietly become "L".
    const DWORD flags = codePage == CP_UTF8 ? 0 : WC_NO_BEST_FIT_CHARS;
    const int n = WideCharToMultiByte(codePage, flags, wide.data(), int(wide.size()), nullptr, 0, nullptr, nullptr);
    if (n <= 0) return false;
    text.resize(size_t(n));
    return WideCharToMultiByte(codePage, flags, wide.data(), int(wide.size()), &text[0], n, nullptr, nullptr) == n;
}

}  // namespace

bool TextFromUtf8In(UINT codePage, const std::string& utf8, std::string& text) {
    std::wstring wide, back;
    // What does not come back the same was not held: the default character
    // stood in for it.
    return ToWide(CP_UTF8, utf8, wide) && FromWide(codePage, wide, text) && ToWide(codePage, text, back) &&
           back == wide;
}

bool BoxTextFromUtf8(const std::string& utf8, std::string& boxText) { return TextFromUtf8In(CP_ACP, utf8, boxText); }

bool Utf8FromBoxText(const std::string& boxText, std::string& utf8) {
    std::wstring wide;
    return ToWide(CP_ACP, boxText, wide) && FromWide(CP_UTF8, wide, utf8);
}

std::wstring WideFromUtf8(const std::string& utf8) {
    if (utf8.empty()) return std::wstring();
    const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), nullptr, 0);
    std::wstring wide(size_t(n > 0 ? n : 0), L'\0');
    if (n > 0) MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), &wide[0], n);
    return wide;
}

}  // namespace pwdbox
