// The general page (216): start with Windows, today's sticks at start-up, and
// the picture above today's sticks.
#pragma once
#include <windows.h>

#include <functional>
#include <string>

#include "SettingsPage.h"

namespace pinora {

class CGeneralPage : public CSettingsPage {
public:
    // Asks the user for a .bmp file: true and the path, or false when cancelled.
    using PictureChooser = std::function<bool(HWND owner, std::string& path)>;
    // Tests answer for the open-file dialog; nullptr brings the dialog back.
    static void SetPictureChooser(PictureChooser chooser);
    // The Run value as the page sees it (SetRunAtLogon, IsRunAtLogon); tests stand
    // in for a registry that refuses. Empty functions bring the real ones back.
    struct RunAtLogonAccess {
        std::function<bool(bool on)> set;
        std::function<bool()> isSet;
    };
    static void SetRunAtLogonAccess(RunAtLogonAccess access);

    void Load() override;
    bool Apply() override;

    // Button 1067: a picture from a file; kept only when it loads and fits.
    void ChoosePicture();
    // Takes the picture at path; says why and keeps the old one when it cannot.
    bool TakePicture(const std::string& path);

    const std::string& AgentPath() const { return agentPath_; }
    HBITMAP Picture() const { return picture_.Picture(); }
    bool ShowsDefaultPicture() const { return showsDefault_; }

protected:
    INT_PTR OnPageMessage(UINT msg, WPARAM wp, LPARAM lp) override;
    void OnInitPage() override;

private:
    bool Fits(HBITMAP picture) const;
    void ShowDefaultPicture();

    std::string agentPath_;  // "agent_bmp" as it will be written; "" for none
    CPictureButton picture_;
    bool showsDefault_ = false;
};

}  // namespace pinora
