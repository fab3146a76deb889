// The about box (dialog 100): the program's name and the product's web address
// as a link that opens in the web browser.
#pragma once
#include <windows.h>

#include "Dialog.h"
#include "HyperLink.h"

namespace pinora {

extern const char* const kProductPage;

class CAboutDlg : public uikit::Dialog {
public:
    // Modal; returns the EndDialog result.
    INT_PTR Run(HWND owner);
    const uikit::CHyperLink& Link() const { return link_; }

protected:
    INT_PTR OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    uikit::CHyperLink link_;
};

}  // namespace pinora
