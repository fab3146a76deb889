// What the pages of the settings dialog share: a child dialog that reads its keys
// into its controls (when made, and each time the dialog opens again), checks
// what was typed, and writes its keys on SPM_APPLY; the picture buttons of the
// pages; their tooltips.
#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <utility>

#include "Dialog.h"
#include "Handles.h"

namespace pinora {

// What the pages need from the rest of the program, handed over by its owner.
struct SettingsLinks {
    std::function<void(int mode)> openHotkeyDialog;          // 0 quick note, 1 screen capture
    std::function<void(const char* text)> showBitmapMessage;  // the rest picture with a text
    std::function<void()> noteFontChanged;                   // "note_font" was written
    std::function<void()> syncSettingsChanged;               // "[SYNC]" was written
    std::function<void()> syncNow;                           // the sync page's "Sync now"
    std::function<std::string()> syncStatus;                 // what the last sync came to, in words
};

class CSettingsPage : public uikit::Dialog {
public:
    // Made from the template as a hidden child of the settings dialog.
    HWND CreatePage(HWND frame, int templateId);

    // Reads the page's keys into its controls.
    virtual void Load() = 0;
    // Whether what the page holds can be written; if not, says why (the focus on
    // the control in question) and returns false.
    virtual bool CanApply() { return true; }
    // SPM_APPLY: writes the page's keys; false when the settings file did not
    // take one of them (the message's answer is the same, 1 or 0).
    virtual bool Apply() = 0;
    // The settings dialog is being hidden: windows the page opened go too.
    virtual void Hidden() {}

    // The frame's way to bring this page forward before it says why it refuses.
    void SetShowHandler(std::function<void()> show) { show_ = std::move(show); }

    bool IsChecked(int id) const;
    void SetChecked(int id, bool on);
    std::string ItemText(int id) const;

protected:
    INT_PTR OnMessage(UINT msg, WPARAM wp, LPARAM lp) final;
    // Everything but WM_INITDIALOG and SPM_APPLY.
    virtual INT_PTR OnPageMessage(UINT msg, WPARAM wp, LPARAM lp) = 0;
    // After the controls exist, before the first Load.
    virtual void OnInitPage() {}
    // Says why the page cannot be written (caption: the program's name) and puts
    // the focus on the control in question.
    void Warn(const std::string& text, int focusId);
    // The settings dialog's answer to SPM_GETMAINWND.
    HWND MainWindow() const;
    // A tooltip over a control of this page.
    void AddTooltip(int id, const std::string& text);

private:
    HWND tooltip_ = nullptr;  // owned by the page, destroyed with it
    std::function<void()> show_;
};

// An owner-drawn button that shows a picture, sized to the picture (a picture
// larger than the button's template is shrunk to fit it, proportions kept), or a
// framed text while it has none.
class CPictureButton {
public:
    // Remembers the button's size in its template (before any picture sized it).
    void Bind(HWND button);
    // The picture's colour at (1, 1) is left out, as the today window leaves it.
    void KeyOutCornerColour() { keyed_ = true; }
    // Takes the picture over (nullptr: none) and sizes the button to it; without
    // a picture the button takes its template size again.
    void Show(HWND button, HBITMAP picture, const std::string& textWithout = "");
    // WM_DRAWITEM of the button.
    void Draw(const DRAWITEMSTRUCT& item) const;

    HBITMAP Picture() const { return picture_.get(); }
    // The size the button had in its template: the largest picture it shows.
    SIZE TemplateSize() const { return templateSize_; }

private:
    uikit::UniqueBitmap picture_;
    std::string text_;
    SIZE templateSize_ = {0, 0};
    bool bound_ = false;
    bool keyed_ = false;
};

// Width and height of a bitmap; 0 x 0 for none.
SIZE PictureSize(HBITMAP bitmap);
// The size a picture takes in a box: its own, or shrunk to fit, proportions kept.
SIZE FittedSize(SIZE picture, SIZE box);
// Draws the picture at the box's top-left corner in its fitted size, centred
// vertically.
void DrawFitted(HDC dc, HBITMAP picture, const RECT& box);

}  // namespace pinora
