#include "AboutDlg.h"

#include "CommandIds.h"
#include "DoRoRazIds.h"
#include "ResourceLibrary.h"

namespace pinora {

const char* const kProductPage = "https://pinora.app/";

INT_PTR CAboutDlg::Run(HWND owner) { return DoModal(ResLib(), IDD_ABOUT, owner); }

INT_PTR CAboutDlg::OnMessage(UINT msg, WPARAM wp, LPARAM) {
    switch (msg) {
    case WM_INITDIALOG:
        link_.Attach(Item(IDC_ABOUT_LINK), kProductPage, uikit::CHyperLink::kUseTags);
        return TRUE;
    case WM_COMMAND:
        return EndOnOkOrCancel(msg, wp);
    case WM_DESTROY:
        link_.Detach();
        return FALSE;
    default:
        return FALSE;
    }
}

}  // namespace pinora
