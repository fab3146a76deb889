// The main window's command box: command words typed into the note box, the
// programs it starts, and the dictionary lookup with its popup docked to the
// left of the window.
#include <windows.h>

#include "App.h"
#include "BrowserPopup.h"
#include "CommandBox.h"
#include "CommandRules.h"
#include "DoRoRazIds.h"
#include "Launchers.h"
#include "MainDlg.h"
#include "ResourceLibrary.h"
#include "WindowPlacement.h"

namespace pinora {

void CMainDlg::InitCommandBox() {
    AttachCommandWords(Item(IDC_QUICK_NOTE));
    AttachWordBox(Item(IDC_DICT_INPUT), LoadResString(IDS_WORD_BOX_HINT), IDC_DICT_LOOKUP);
}

BOOL CMainDlg::OnNotify(const NMHDR& hdr) {
    switch (hdr.code) {
    case kCmdCompanionEditor:
        StartCompanionEditorOnToday();
        return TRUE;
    case kCmdSetHotkey:
        OpenHotkeyDialog(0);  // modal: the quick-note hotkey
        return TRUE;
    case kCmdPaint:
    case kCmdCalculator:
    case kCmdConsole:
    case kCmdNewStick:
    case kCmdRemind:
        // Only the note box itself runs these: no other control's code may.
        if (hdr.idFrom != IDC_QUICK_NOTE || hdr.hwndFrom != Item(IDC_QUICK_NOTE)) return FALSE;
        if (hdr.code == kCmdNewStick)
            OpenNewStickFromNoteBox();
        else if (hdr.code == kCmdRemind)
            SaveQuickNote(true);  // the line is a reminder: it leaves the box as a saved note does
        else
            RunProgramByName(ProgramForCommand(hdr.code));
        return TRUE;
    default:
        return FALSE;
    }
}

void CMainDlg::OpenNewStickFromNoteBox() {
    if (!App().bLoggedIn) {
        // No sticks without a user: ask who is there, and keep the window.
        SendMessageA(hwnd(), WM_COMMAND, ID_LOGIN, 0);
        return;
    }
    SendMessageA(hwnd(), WM_COMMAND, ID_NEW_STICK, 0);
    ShowWindow(hwnd(), SW_HIDE);  // the typed word stays in the box
}

void CMainDlg::StartCompanionEditorOnToday() {
    RefreshDayFiles();
    // Nobody logged in has no diary; the editor then opens on no file rather
    // than on one at the root of the drive.
    StartCompanionEditor(hwnd(), App().bLoggedIn ? files_.diaryFile : std::string());
}

void CMainDlg::LookUpWords() {
    std::string url = BuildLookupUrl(DictionaryPrefix(), WordBoxWords(Item(IDC_DICT_INPUT)));
    if (!dictionary_) dictionary_ = std::make_unique<CBrowserPopup>();
    if (!dictionary_->Create(hwnd())) return;
    RECT rc;
    GetWindowRect(hwnd(), &rc);
    DockDictionary(rc);
    dictionary_->Navigate(url.c_str());
}

void CMainDlg::DockDictionary(const RECT& mainRect) {
    if (!dictionary_ || !dictionary_->Exists()) return;
    RECT current;
    GetWindowRect(hwnd(), &current);
    DockPlace place = DockBeside(mainRect.left, mainRect.top, current.right - current.left,
                                 current.bottom - current.top);
    dictionary_->ShowAt(place.left, place.top, place.width, place.height);
    // Beside a box at the left edge of a monitor it would stand off the screen.
    uikit::KeepOnScreen(dictionary_->hwnd());
}

void CMainDlg::OnMoving(const RECT& dragged) {
    if (dictionary_ && dictionary_->Visible()) DockDictionary(dragged);
}

void CMainDlg::HideDictionary() {
    if (dictionary_) dictionary_->Hide();
}

const CBrowserPopup* CMainDlg::Dictionary() const { return dictionary_.get(); }

}  // namespace pinora
