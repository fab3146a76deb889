// The stick editor (dialog 205): the one window that writes sticks. Modeless,
// created once by the main window and then shown and hidden.
#pragma once
#include <windows.h>

#include <functional>
#include <string>

#include "Dialog.h"
#include "Handles.h"
#include "StickEditLogic.h"
#include "StickEditorMessages.h"
#include "WhenPhrases.h"
#include "WindowText.h"

namespace pinora {

constexpr UINT_PTR kClockTimer = 1002;
constexpr COLORREF kCaptionBack = RGB(255, 255, 0);
constexpr COLORREF kClockText = RGB(0, 255, 0);
constexpr COLORREF kClockBack = RGB(0, 0, 0);

class CStickEditDlg : public uikit::Dialog {
public:
    // sticksFolder gives the user's sticks folder (with its trailing separator),
    // or "" while nobody is logged in, when nothing can be saved.
    explicit CStickEditDlg(std::function<std::string()> sticksFolder) : sticksFolderOf_(std::move(sticksFolder)) {}

    HWND CreateEditor(HWND parent);
    // The main window's way of opening it for a new stick (after CreateEditor);
    // notify is the stick manager window, or nullptr.
    void OpenForNewStick(HWND notify);

    // Called after a stored stick was rewritten or deleted, with its record
    // number, so that windows showing that stick let go of it.
    void SetStickChangedHandler(std::function<void(int record)> handler) { stickChanged_ = std::move(handler); }

    int Record() const { return record_; }
    bool ClockTimerRunning() const { return clockRunning_; }
    // The controls as OK would read them.
    StickEditorState ReadControls() const;

    // The hint under the text: an alarm read from what the user typed, shown
    // until Tab (in the text) or a click on the hint sets the controls from it.
    bool HasWhenHint() const { return hint_.found; }
    const WhenFound& WhenHint() const { return hint_; }
    void ApplyWhenHint();

protected:
    INT_PTR OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    BOOL OnInitDialog();
    void OnCommand(UINT id, UINT code);
    void OnAlarmOnClicked();
    void OnRepeatClicked();
    void OnQuickClicked();
    void OnOk();
    void ShowSaveError(const std::string& folder);
    void OnDeleteButton();
    void Reset();
    void LoadStick(const char* weekly, const char* code);
    void MarkDeleted(int record);
    void TellChanged();
    void HideEditor();
    void UpdateClock();
    void UpdateWhenHint();
    void HideWhenHint();
    INT_PTR ColourStatic(HDC dc, HWND control);

    void FillWeekdays();
    void SetWeekdays(const char* text);
    void EnableAlarmControls(bool on);
    void CenterOnOwner();
    std::string SticksFolder();
    void Check(int id, bool on) const { CheckDlgButton(hwnd(), id, on ? BST_CHECKED : BST_UNCHECKED); }
    bool Checked(int id) const { return IsDlgButtonChecked(hwnd(), id) == BST_CHECKED; }
    void Enable(int id, bool on) const { EnableWindow(Item(id), on); }

    std::function<std::string()> sticksFolderOf_;
    std::function<void(int)> stickChanged_;
    int record_ = -1;
    int keptStartDate_ = 0;  // start date of the loaded stick's stored alarm
    // The text as it was handed in: saved as it is unless the user edits it.
    uikit::StoredTextEdit text_;
    HWND notify_ = nullptr;
    bool clockRunning_ = false;
    WhenFound hint_;
    uikit::UniqueBrush captionBrush_;
    uikit::UniqueBrush clockBrush_;
};

}  // namespace pinora
