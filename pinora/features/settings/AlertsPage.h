// The alerts page (217): what an alarm shows and plays, the rest reminder's
// period, wink, picture and taskbar note, and the two winks with their previews.
#pragma once
#include <windows.h>

#include <memory>
#include <string>

#include "SettingsPage.h"

namespace pinora {

class CWinkChooserDlg;

enum WinkChooserMode { kChooseStickWink = 1, kChooseRestWink = 2 };

class CAlertsPage : public CSettingsPage {
public:
    explicit CAlertsPage(SettingsLinks links);
    ~CAlertsPage() override;

    void Load() override;
    bool CanApply() override;
    bool Apply() override;
    void Hidden() override;

    // Buttons 1000 and 1052: the wink chooser for the stick or the rest wink.
    void OpenWinkChooser(int mode);
    CWinkChooserDlg* WinkChooser() const { return chooser_.get(); }
    int ChooserMode() const { return chooserMode_; }

    const std::string& StickWink() const { return stickWink_; }
    const std::string& RestWink() const { return restWink_; }
    HBITMAP StickPreview() const { return stickPreview_.Picture(); }
    HBITMAP RestPreview() const { return restPreview_.Picture(); }

protected:
    INT_PTR OnPageMessage(UINT msg, WPARAM wp, LPARAM lp) override;
    void OnInitPage() override;

private:
    void OnCommand(int id);
    void OnRestClicked();
    void OnWinkChosen(const struct WinkChoice* choice);
    void ShowPreview(int buttonId, const std::string& wink);
    void ShowBreaksToday();

    SettingsLinks links_;
    std::string stickWink_;  // "stick_wink" as it will be written
    std::string restWink_;   // "auto_wink" as it will be written
    CPictureButton stickPreview_;
    CPictureButton restPreview_;
    std::unique_ptr<CWinkChooserDlg> chooser_;
    int chooserMode_ = kChooseStickWink;
};

}  // namespace pinora
