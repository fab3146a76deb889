#include "PwdClipboard.h"

#include <cstring>
#include <cwchar>
#include <vector>

namespace pwdbox {

namespace {

// Hands bytes to the open clipboard in a format; false when they were not taken.
bool PutData(UINT format, const void* bytes, size_t length) noexcept {
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, length ? length : 1);
    if (!block) return false;
    bool handed = false;
    if (void* p = GlobalLock(block)) {
        if (length) std::memcpy(p, bytes, length);
        GlobalUnlock(block);
        handed = SetClipboardData(format, block) != nullptr;
    }
    if (!handed) GlobalFree(block);  // once handed over, the block is the clipboard's
    return handed;
}

// The formats by which Windows keeps a copy out of the clipboard history, out
// of the cloud clipboard and away from clipboard monitors: whatever the box
// copies is meant for one paste, not for keeping.
void MarkAsPrivate() noexcept {
    const DWORD no = 0;
    PutData(RegisterClipboardFormatA("ExcludeClipboardContentFromMonitorProcessing"), &no, sizeof no);
    PutData(RegisterClipboardFormatA("CanIncludeInClipboardHistory"), &no, sizeof no);
    PutData(RegisterClipboardFormatA("CanUploadToCloudClipboard"), &no, sizeof no);
}

}  // namespace

bool PutClipboardText(HWND owner, const std::string& text) noexcept {
    // As Unicode text: CF_TEXT would be read in the code page of the user's
    // language by every other program, not as UTF-8, and "é" would paste as "Ã©".
    const int units = text.empty() ? 0 : MultiByteToWideChar(CP_UTF8, 0, text.data(), int(text.size()), nullptr, 0);
    if (!text.empty() && units <= 0) return false;
    std::vector<wchar_t> wide(size_t(units) + 1, L'\0');
    if (units > 0) MultiByteToWideChar(CP_UTF8, 0, text.data(), int(text.size()), wide.data(), units);
    bool handed = false;
    if (OpenClipboard(owner)) {
        EmptyClipboard();
        MarkAsPrivate();
        handed = PutData(CF_UNICODETEXT, wide.data(), wide.size() * sizeof(wchar_t));
        CloseClipboard();
    }
    SecureZeroMemory(wide.data(), wide.size() * sizeof(wchar_t));  // it may be a password
    return handed;
}

std::string ReadClipboardText() {
    std::string text;
    if (!OpenClipboard(nullptr)) return text;
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        if (const wchar_t* p = static_cast<const wchar_t*>(GlobalLock(data))) {
            const int units = int(wcsnlen(p, GlobalSize(data) / sizeof(wchar_t)));
            const int n = units ? WideCharToMultiByte(CP_UTF8, 0, p, units, nullptr, 0, nullptr, nullptr) : 0;
            text.resize(size_t(n > 0 ? n : 0));
            if (n > 0) WideCharToMultiByte(CP_UTF8, 0, p, units, text.data(), n, nullptr, nullptr);
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return text;
}

void ClipboardClearer::Arm(HWND owner, UINT seconds) noexcept {
    Cancel();
    if (seconds == 0 || !owner) return;
    owner_ = owner;
    sequence_ = GetClipboardSequenceNumber();
    SetTimer(owner, kTimerId, seconds * 1000, nullptr);
}

void ClipboardClearer::Fire() noexcept {
    HWND owner = owner_;
    Cancel();
    if (!owner) return;
    // Another copy since ours (by us or by another program) changed the
    // sequence number or the owner: that is left alone.
    // While the owner is being destroyed the system may already have let go
    // of its ownership; the unchanged sequence number still says it is ours.
    HWND current = GetClipboardOwner();
    if (GetClipboardSequenceNumber() != sequence_ || (current != owner && current != nullptr)) return;
    if (OpenClipboard(current ? owner : nullptr)) {
        EmptyClipboard();
        CloseClipboard();
    }
}

void ClipboardClearer::Cancel() noexcept {
    if (owner_ && IsWindow(owner_)) KillTimer(owner_, kTimerId);
    owner_ = nullptr;
}

}  // namespace pwdbox
