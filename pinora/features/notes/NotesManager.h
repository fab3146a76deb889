// The notes manager (dialog 202): the diary by month with a tick box per day,
// the selected day's note to read and edit, search over all notes, and export of
// the ticked days. Modeless, created once by the main window, then shown and
// hidden; it works on the data folder the main window hands it.
#pragma once
#include <windows.h>

#include <functional>
#include <string>

#include "Dialog.h"
#include "Handles.h"
#include "NotesExport.h"
#include "NotesLogic.h"

namespace pinora {

class CNotesManagerDlg : public uikit::Dialog {
public:
    // Opens a file or document with the shell ("open"); false when nothing opened it.
    using ShellOpener = std::function<bool(HWND owner, const std::string& file, const char* parameters)>;

    CNotesManagerDlg();

    // Replaceable for tests: how Word is started and how the shell opens files.
    void SetWordStarter(WordStarter starter) { startWord_ = std::move(starter); }
    void SetShellOpener(ShellOpener opener) { shellOpen_ = std::move(opener); }

    // Creates the window once (hidden); later calls return it.
    HWND CreateManager(HWND owner);
    // Hands over the user's data folder (with its trailing backslash) and selects
    // today in it: the month's days are listed and today's note is shown.
    void SetDataFolder(const std::string& folder);
    const std::string& DataFolder() const { return folder_; }
    // Shows the window in front, with the keyboard in the list of days.
    void ShowInFront();

    // Before the window goes away or shows something else: edits that were not
    // saved are offered for saving. False when they could not be saved, so the
    // caller keeps the note where it is.
    bool SaveOrDiscardEdits();

    // What the list and the note box hold, for tests and the main window.
    int EntryCount() const;
    std::string Entry(int index) const;
    bool EntryTicked(int index) const;
    void TickEntry(int index, bool ticked);
    int Selection() const;
    // The file whose text the note box shows ("" when none).
    const std::string& ShownFile() const { return shownName_; }
    bool HasUnsavedEdits() const { return dirty_; }

protected:
    INT_PTR OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    BOOL OnInitDialog();
    void OnCommand(UINT id, UINT code, HWND control);
    INT_PTR OnNotify(const NMHDR& header);
    void OnDrawItem(const DRAWITEMSTRUCT& item);

    // Selecting a date: the month's list, the date's entry selected and ticked, its note shown.
    void SelectDate(const LocalTime& date);
    void SelectToday();
    void SetPickers(const LocalTime& date, bool picker, bool calendar);
    void FillMonth();
    void ShowNote(const std::string& name);
    void OnSelectionChange();
    void OnDoubleClick();
    bool SaveNote();
    void Move(MoveKind kind);
    void Search();
    void Export();
    void Hide();

    void SetNoteText(const std::string& text);
    void EnableSave(bool on);
    void ShowMessage(UINT textId, UINT icon, const std::string& detail = "");
    void CenterOnOwner();
    void SetupButtons();
    std::string NotePath(const std::string& name) const { return folder_ + name; }
    void SelectShownEntry();
    void SetCaption(const std::string& text) { SetWindowTextA(hwnd(), text.c_str()); }

    std::string folder_;
    std::string shownName_;
    bool dirty_ = false;
    bool settingText_ = false;
    bool selecting_ = false;
    WordStarter startWord_;
    ShellOpener shellOpen_;
    uikit::UniqueBitmap tickBoxes_;
    uikit::UniqueBitmap arrows_[4];
    HWND keywordsEdit_ = nullptr;
};

}  // namespace pinora
