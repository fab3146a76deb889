// The settings dialog (215): the page names on the left and the chosen page
// beside them, under a coloured line with its name. Made on the first opening
// and then shown and hidden; OK writes every page, Cancel writes nothing.
#pragma once
#include <windows.h>

#include <memory>
#include <vector>

#include "Dialog.h"
#include "Handles.h"
#include "SettingsPage.h"

namespace pinora {

class CGeneralPage;
class CAlertsPage;
class CSticksPage;
class CSyncPage;

// The page name's line: Tahoma of height -12, bold, these colours (0x00BBGGRR).
constexpr COLORREF kSettingsTitleBack = 0xB0B6B3;
constexpr COLORREF kSettingsTitleText = 0xFF0080;
// The pages stand this far from the list and the dialog's top and right edges
// (pixels of a 96-DPI screen, as the title's height).
constexpr int kSettingsPageGap = 30;
constexpr int kSettingsPageTop = 30;
constexpr int kSettingsPageRightMargin = 20;

class CSettingsDlg : public uikit::Dialog {
public:
    explicit CSettingsDlg(SettingsLinks links);
    ~CSettingsDlg() override;

    // Command 32777: made once, owned by the main window, and shown; an opening
    // after the first reads every page's keys again, so what Cancel left is gone.
    HWND Open(HWND mainWnd);

    // Shows page index (0 general, 1 alerts, 2 sticks, 3 sync) and selects its name.
    void SelectPage(int index);
    // OK: every page is checked, then written in order, then the dialog hides.
    // False (nothing written, the page in question shown) when a page refuses.
    bool Ok();
    // Cancel: hidden, nothing written.
    void Cancel();

    int PageCount() const { return static_cast<int>(pages_.size()); }
    HWND PageWindow(int index) const;
    int ShownPage() const;
    CGeneralPage& General() const { return *general_; }
    CAlertsPage& Alerts() const { return *alerts_; }
    CSticksPage& Sticks() const { return *sticks_; }
    CSyncPage& Sync() const { return *sync_; }
    HFONT TitleFont() const { return titleFont_.get(); }

protected:
    INT_PTR OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    BOOL OnInitDialog();
    void CreatePages();
    void OnDestroy();
    INT_PTR TitleColours(HDC dc);

    SettingsLinks links_;
    HWND mainWnd_ = nullptr;
    std::unique_ptr<CGeneralPage> general_;
    std::unique_ptr<CAlertsPage> alerts_;
    std::unique_ptr<CSticksPage> sticks_;
    std::unique_ptr<CSyncPage> sync_;
    std::vector<CSettingsPage*> pages_;  // in creation order: general, alerts, sticks, sync
    uikit::UniqueFont titleFont_;
    uikit::UniqueBrush titleBrush_;
};

}  // namespace pinora
