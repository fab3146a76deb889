#include "SticksPage.h"

#include "DoRoRazIds.h"
#include "ResourceLibrary.h"
#include "Settings.h"
#include "SettingsValues.h"

namespace pinora {

void CSticksPage::OnInitPage() {
    HWND font = Item(IDC_STICKS_NOTE_FONT);
    for (const char* size : kNoteFontSizes) SendMessageA(font, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(size));
    SendMessageA(font, CB_LIMITTEXT, kNoteFontTextLength, 0);
}

INT_PTR CSticksPage::OnPageMessage(UINT msg, WPARAM wp, LPARAM) {
    if (msg != WM_COMMAND || HIWORD(wp) != BN_CLICKED) return FALSE;
    switch (LOWORD(wp)) {
    case IDC_STICKS_DROP_DELETED:  // the two boxes answer one question
        SetChecked(IDC_STICKS_KEEP_DELETED, !IsChecked(IDC_STICKS_DROP_DELETED));
        return TRUE;
    case IDC_STICKS_KEEP_DELETED:
        SetChecked(IDC_STICKS_DROP_DELETED, !IsChecked(IDC_STICKS_KEEP_DELETED));
        return TRUE;
    case IDC_STICKS_MAIN_HOTKEY:
        if (links_.openHotkeyDialog) links_.openHotkeyDialog(0);
        return TRUE;
    case IDC_STICKS_CAPTURE_HOTKEY:
        if (links_.openHotkeyDialog) links_.openHotkeyDialog(1);
        return TRUE;
    default:
        return FALSE;
    }
}

void CSticksPage::Load() {
    // As the calendar reads it: a missing or other value hides deleted sticks.
    const bool disappear = DeletedSticksDisappear(ReadSetting("SETTINGS", "del_stick_directly", 2));
    SetChecked(IDC_STICKS_DROP_DELETED, disappear);
    SetChecked(IDC_STICKS_KEEP_DELETED, !disappear);
    SetDlgItemTextA(hwnd(), IDC_STICKS_NOTE_FONT,
                    ReadSetting("SETTINGS", "note_font", kNoteFontTextLength + 1).c_str());
}

bool CSticksPage::CanApply() {
    const NoteFontEntry font = ParseNoteFont(ItemText(IDC_STICKS_NOTE_FONT));
    if (font.leaveAlone || font.size) return true;
    Warn(LoadResString(IDS_NOTE_FONT_BAD, 512), IDC_STICKS_NOTE_FONT);
    return false;
}

bool CSticksPage::Apply() {
    bool written = WriteFlag(IsChecked(IDC_STICKS_DROP_DELETED), "SETTINGS", "del_stick_directly");
    const NoteFontEntry font = ParseNoteFont(ItemText(IDC_STICKS_NOTE_FONT));
    if (!font.size) return written;  // empty: "note_font" stays as it is
    // The quick-note box takes the font it will have at the next start, or keeps its own.
    if (!WriteSetting(std::to_string(*font.size).c_str(), "SETTINGS", "note_font")) return false;
    if (links_.noteFontChanged) links_.noteFontChanged();
    return written;
}

}  // namespace pinora
