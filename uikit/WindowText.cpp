#include "WindowText.h"

#include <commctrl.h>

#include "Utf8Text.h"

namespace uikit {
namespace {

constexpr UINT_PTR kLimitSubclassId = 0x55544638;  // "UTF8"

std::string Narrow(const wchar_t* text, int length) {
    if (length <= 0) return {};
    const int n = WideCharToMultiByte(CP_ACP, 0, text, length, nullptr, 0, nullptr, nullptr);
    if (n <= 0) return {};
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_ACP, 0, text, length, out.data(), n, nullptr, nullptr);
    return out;
}

size_t Bytes(const std::wstring& text) {
    return text.empty() ? 0
                        : static_cast<size_t>(WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()),
                                                                  nullptr, 0, nullptr, nullptr));
}

std::wstring WideText(HWND window) {
    const int length = GetWindowTextLengthW(window);
    std::wstring text(static_cast<size_t>(length > 0 ? length : 0) + 1, L'\0');
    const int n = GetWindowTextW(window, text.data(), static_cast<int>(text.size()));
    text.resize(n > 0 ? static_cast<size_t>(n) : 0);
    return text;
}

// The longest start of `text` (whole characters: a surrogate pair stays
// together) that takes at most `room` bytes.
std::wstring FittingStart(const std::wstring& text, size_t room) {
    size_t units = 0, used = 0;
    while (units < text.size()) {
        const bool pair = IS_HIGH_SURROGATE(text[units]) && units + 1 < text.size() && IS_LOW_SURROGATE(text[units + 1]);
        const size_t step = pair ? 2 : 1;
        const size_t cost = Bytes(text.substr(units, step));
        if (used + cost > room) break;
        used += cost;
        units += step;
    }
    return text.substr(0, units);
}

// Sets the text past the limit's own procedure. The subclass procedure gets
// a window's messages in the window's own character set: text of an ANSI
// window (one made from an "A" dialog template) goes as ANSI.
void SetTextBelowLimit(HWND edit, const std::wstring& text) {
    if (IsWindowUnicode(edit)) {
        DefSubclassProc(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    } else {
        const std::string narrow = Narrow(text.data(), static_cast<int>(text.size()));
        DefSubclassProc(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(narrow.c_str()));
    }
}

// After a change that made the text too long: of what the change put in (the
// part between what stayed before and after it) only what fits stays.
void TrimInserted(HWND edit, const std::wstring& before, size_t maxBytes) {
    const std::wstring after = WideText(edit);
    size_t head = 0;
    while (head < before.size() && head < after.size() && before[head] == after[head]) ++head;
    size_t tail = 0;
    while (tail < before.size() - head && tail < after.size() - head &&
           before[before.size() - 1 - tail] == after[after.size() - 1 - tail])
        ++tail;
    // Never split a surrogate pair at the edges of the change.
    while (head > 0 && IS_LOW_SURROGATE(after[head])) --head;
    while (tail > 0 && IS_HIGH_SURROGATE(after[after.size() - tail - 1])) --tail;
    const std::wstring keptHead = after.substr(0, head), keptTail = after.substr(after.size() - tail);
    const size_t fixed = Bytes(keptHead) + Bytes(keptTail);
    const std::wstring inserted = after.substr(head, after.size() - head - tail);
    const std::wstring fitting = FittingStart(inserted, maxBytes > fixed ? maxBytes - fixed : 0);
    const BOOL modified = static_cast<BOOL>(SendMessageW(edit, EM_GETMODIFY, 0, 0));
    const std::wstring result = keptHead + fitting + keptTail;
    SetTextBelowLimit(edit, result);
    SendMessageW(edit, EM_SETMODIFY, modified, 0);
    const DWORD caret = static_cast<DWORD>(keptHead.size() + fitting.size());
    DefSubclassProc(edit, EM_SETSEL, caret, caret);
    MessageBeep(MB_OK);
}

bool MayInsertText(UINT msg, WPARAM wp) {
    switch (msg) {
    case WM_CHAR: return wp >= 0x20 || wp == 0x16 /* Ctrl+V */ || wp == '\r' || wp == '\t';
    case WM_IME_CHAR:
    case WM_IME_COMPOSITION:
    case WM_PASTE:
    case EM_REPLACESEL:
    case WM_UNDO:
    case EM_UNDO:
    case WM_KEYDOWN:  // Shift+Insert pastes
        return true;
    default: return false;
    }
}

LRESULT CALLBACK LimitProc(HWND edit, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR maxBytes) noexcept {
    if (msg == WM_NCDESTROY) RemoveWindowSubclass(edit, LimitProc, kLimitSubclassId);
    try {
        if (msg == WM_SETTEXT && lp) {
            // Set by the program: what fits of the start of it.
            const size_t room = static_cast<size_t>(maxBytes);
            if (!IsWindowUnicode(edit)) {
                const char* text = reinterpret_cast<const char*>(lp);
                const std::string fitting = Utf8Prefix(text, room);
                return DefSubclassProc(edit, msg, wp, reinterpret_cast<LPARAM>(fitting.c_str()));
            }
            const std::wstring text(reinterpret_cast<const wchar_t*>(lp));
            if (Bytes(text) <= room) return DefSubclassProc(edit, msg, wp, lp);
            const std::wstring fitting = FittingStart(text, room);
            return DefSubclassProc(edit, msg, wp, reinterpret_cast<LPARAM>(fitting.c_str()));
        }
        if (!MayInsertText(msg, wp)) return DefSubclassProc(edit, msg, wp, lp);
        const std::wstring before = WideText(edit);
        const LRESULT result = DefSubclassProc(edit, msg, wp, lp);
        if (Bytes(WideText(edit)) > static_cast<size_t>(maxBytes)) TrimInserted(edit, before, static_cast<size_t>(maxBytes));
        return result;
    } catch (...) {
        return 0;
    }
}

constexpr char kOriginalProc[] = "PinoraEditAnsiProc";

LRESULT CALLBACK UnicodeEditProc(HWND edit, UINT msg, WPARAM wp, LPARAM lp) noexcept {
    const auto original = reinterpret_cast<WNDPROC>(GetPropA(edit, kOriginalProc));
    if (!original) return DefWindowProcW(edit, msg, wp, lp);
    if (msg == WM_NCDESTROY) RemovePropA(edit, kOriginalProc);
    return CallWindowProcW(original, edit, msg, wp, lp);
}

HWND EditOf(HWND window) {
    char cls[32] = {};
    GetClassNameA(window, cls, sizeof cls);
    if (lstrcmpiA(cls, "Edit") == 0) return window;
    if (lstrcmpiA(cls, "ComboBox") == 0) return FindWindowExA(window, nullptr, "Edit", nullptr);
    return nullptr;
}

}  // namespace

std::string WindowText(HWND window, size_t maxBytes) {
    std::wstring wide = WideText(window);
    std::string text = Narrow(wide.data(), static_cast<int>(wide.size()));
    // The text may be a password: the copies made on the way do not outlive the
    // call (the caller erases what it is given).
    SecureZeroMemory(wide.data(), wide.size() * sizeof(wchar_t));
    if (text.size() > maxBytes) {
        const size_t kept = Utf8PrefixLength(text, maxBytes);
        SecureZeroMemory(text.data() + kept, text.size() - kept);
        text.resize(kept);
    }
    return text;
}

std::string ItemText(HWND dialog, int id, size_t maxBytes) { return WindowText(GetDlgItem(dialog, id), maxBytes); }

std::string ResourceText(HINSTANCE module, UINT id) {
    const wchar_t* text = nullptr;
    // A length of 0 gives a pointer to the string inside the resource.
    const int length = LoadStringW(module, id, reinterpret_cast<LPWSTR>(&text), 0);
    return text ? Narrow(text, length) : std::string();
}

bool TakeUnicodeInput(HWND window) noexcept {
    HWND edit = window ? EditOf(window) : nullptr;
    if (!edit) return false;
    if (IsWindowUnicode(edit)) return true;
    // A procedure set with the "W" call makes the window a Unicode one.
    const auto original = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(edit, GWLP_WNDPROC));
    if (!SetPropA(edit, kOriginalProc, reinterpret_cast<HANDLE>(original))) return false;
    SetWindowLongPtrW(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&UnicodeEditProc));
    return IsWindowUnicode(edit) != FALSE;
}

void TakeUnicodeInputForChildren(HWND parent) noexcept {
    EnumChildWindows(
        parent,
        [](HWND child, LPARAM) -> BOOL {
            char cls[16] = {};
            GetClassNameA(child, cls, sizeof cls);
            if (lstrcmpiA(cls, "Edit") == 0) TakeUnicodeInput(child);
            return TRUE;
        },
        0);
}

bool LimitTextBytes(HWND window, size_t maxBytes) noexcept {
    HWND edit = window ? EditOf(window) : nullptr;
    if (!edit) return false;
    // A character takes at least one byte: the system's own limit in characters can stay as a bound.
    const WPARAM characters = static_cast<WPARAM>(maxBytes < 0x7FFFFFFE ? maxBytes : 0x7FFFFFFE);
    if (edit != window) SendMessageA(window, CB_LIMITTEXT, characters, 0);
    else SendMessageA(edit, EM_LIMITTEXT, characters, 0);
    return SetWindowSubclass(edit, LimitProc, kLimitSubclassId, static_cast<DWORD_PTR>(maxBytes)) != FALSE;
}

bool LimitItemTextBytes(HWND dialog, int id, size_t maxBytes) noexcept {
    return LimitTextBytes(GetDlgItem(dialog, id), maxBytes);
}

std::wstring Widen(const std::string& text) {
    if (text.empty()) return {};
    const int n = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(n > 0 ? n : 0), L'\0');
    if (n > 0) MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(), n);
    return wide;
}

std::string Narrow(const std::wstring& text) { return Narrow(text.data(), static_cast<int>(text.size())); }

int DrawTextUtf8(HDC dc, const std::string& text, RECT* rect, UINT format) {
    const std::wstring wide = Widen(text);
    return DrawTextW(dc, wide.c_str(), static_cast<int>(wide.size()), rect, format);
}

BOOL TextOutUtf8(HDC dc, int x, int y, const std::string& text) {
    const std::wstring wide = Widen(text);
    return TextOutW(dc, x, y, wide.c_str(), static_cast<int>(wide.size()));
}

SIZE TextExtentUtf8(HDC dc, const std::string& text) {
    const std::wstring wide = Widen(text);
    SIZE size = {};
    if (!wide.empty()) GetTextExtentPoint32W(dc, wide.c_str(), static_cast<int>(wide.size()), &size);
    return size;
}

void SetBalloonText(NOTIFYICONDATAA& balloon, const std::string& title, const std::string& text) {
    balloon.uFlags |= NIF_INFO;
    CopyUtf8(balloon.szInfoTitle, sizeof balloon.szInfoTitle, title.c_str());
    const std::string shown = Utf8Shortened(text, sizeof balloon.szInfo - 1);
    CopyUtf8(balloon.szInfo, sizeof balloon.szInfo, shown.c_str());
}

void StoredTextEdit::Show(HWND edit, const std::string& stored) {
    stored_ = stored;
    SetWindowTextA(edit, stored.c_str());
    shown_ = WindowText(edit);
}

std::string StoredTextEdit::Read(HWND edit, size_t maxBytes) const {
    std::string text = WindowText(edit);
    if (text == shown_) text = stored_;
    if (text.size() > maxBytes) text.resize(Utf8PrefixLength(text, maxBytes));
    return text;
}

}  // namespace uikit
