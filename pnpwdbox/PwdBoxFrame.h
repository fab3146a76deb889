// The password box's top-level window: the login panel while locked; the
// command bar and the control once the master password was given. Closing
// only hides it. It locks itself after the idle time "pnpb.ini" names.
#pragma once
#include <windows.h>

#include "CommandBar.h"
#include "Handles.h"
#include "LoginPanel.h"
#include "PwdBoxCtrl.h"
#include "Window.h"

class CPwdBoxFrame : public uikit::Window {
public:
    static constexpr int kCommandBarHeight = 27;
    static constexpr UINT_PTR kIdleTimer = 2;

    CPwdBoxFrame();
    ~CPwdBoxFrame() override;

    // At the default position and size, not yet shown.
    HWND Create() noexcept;

    CPnPwdBoxCtrl& Control() { return control_; }
    CPwdLoginPanel& LoginPanel() { return login_; }
    uikit::CommandBar& CommandBar() { return commandBar_; }

    void OnHideBox();
    int OnExportExcel();
    void OnAbout();
    void OnVisitForum();
    void OnLock();
    // The lock, and the frame hidden (the box is going, but cannot be
    // destroyed from under its own code).
    void LockAndHide();
    void Layout();
    // One look at the idle clock: locks when the box has been idle too long,
    // otherwise sets the timer for the next look. Only a box that is logged in
    // has a timer running, shown or hidden.
    void CheckIdle();

protected:
    LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    LRESULT OnCreate();
    void OnDestroy();
    void CloseOpenDialogs();

    CPwdLoginPanel login_;
    CPnPwdBoxCtrl control_;
    uikit::CommandBar commandBar_;
    uikit::UniqueMenu menu_;
    uikit::UniqueBitmap barBackground_;
    bool hookAcquired_ = false;
};
