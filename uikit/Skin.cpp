#include "Skin.h"

#include "Handles.h"

namespace uikit {
namespace {

struct SkinState {
    bool active = false;
    SkinColors colors;
    std::string file;
    UniqueBrush window;
    UniqueBrush edit;
};

SkinState& State() {
    static SkinState state;
    return state;
}

bool ReadColors(HMODULE lib, SkinColors& colors) {
    HRSRC found = FindResourceA(lib, MAKEINTRESOURCEA(kSkinColorsResource), RT_RCDATA);
    if (!found) return false;
    HGLOBAL loaded = LoadResource(lib, found);
    const char* text = loaded ? static_cast<const char*>(LockResource(loaded)) : nullptr;
    return text && ParseSkinColors(text, SizeofResource(lib, found), colors);
}

HBRUSH Colour(HDC dc, COLORREF back, COLORREF fore, HBRUSH brush) {
    SetTextColor(dc, fore);
    SetBkColor(dc, back);
    return brush;
}

}  // namespace

bool SetSkin(const char* libraryPath) noexcept {
    try {
        if (!libraryPath || !*libraryPath) return false;
        UniqueModule lib(
            LoadLibraryExA(libraryPath, nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
        SkinColors colors;
        if (!lib || !ReadColors(lib.get(), colors)) return false;
        UseSkinColors(colors);
        State().file = libraryPath;
        return true;
    } catch (...) {
        return false;
    }
}

void UseSkinColors(const SkinColors& colors) noexcept {
    SkinState& s = State();
    s.colors = colors;
    s.window.reset(CreateSolidBrush(colors.window));
    s.edit.reset(CreateSolidBrush(colors.edit));
    s.file.clear();
    s.active = s.window && s.edit;
}

void ClearSkin() noexcept {
    SkinState& s = State();
    s.active = false;
    s.file.clear();
    s.window.reset();
    s.edit.reset();
}

bool HasSkin() noexcept { return State().active; }
SkinColors CurrentSkinColors() noexcept { return State().colors; }
std::string CurrentSkinFile() { return State().file; }

INT_PTR HandleSkinMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM) noexcept {
    if (msg == kSkinChangedMsg) {
        RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
        return 1;
    }
    const SkinState& s = State();
    if (!s.active) return 0;
    HDC dc = reinterpret_cast<HDC>(wp);
    switch (msg) {
    case WM_CTLCOLORDLG:
        return reinterpret_cast<INT_PTR>(s.window.get());
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
        return reinterpret_cast<INT_PTR>(Colour(dc, s.colors.window, s.colors.text, s.window.get()));
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
        return reinterpret_cast<INT_PTR>(Colour(dc, s.colors.edit, s.colors.editText, s.edit.get()));
    default:
        return 0;
    }
}

}  // namespace uikit
