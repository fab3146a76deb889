#include "SettingsDlg.h"

#include "AlertsPage.h"
#include "Catalogues_win.h"
#include "DoRoRazIds.h"
#include "Dpi.h"
#include "GeneralPage.h"
#include "ResourceLibrary.h"
#include "Settings.h"
#include "SettingsNotWritten.h"
#include "SettingsMessages.h"
#include "SticksPage.h"
#include "SyncPage.h"

namespace pinora {
namespace {

constexpr int kTitleHeight = -12;

}  // namespace

CSettingsDlg::CSettingsDlg(SettingsLinks links)
    : links_(std::move(links)),
      general_(std::make_unique<CGeneralPage>()),
      alerts_(std::make_unique<CAlertsPage>(links_)),
      sticks_(std::make_unique<CSticksPage>(links_)),
      sync_(std::make_unique<CSyncPage>(links_)) {}

CSettingsDlg::~CSettingsDlg() {
    // The pages go first, while this object still answers them.
    Destroy();
}

HWND CSettingsDlg::Open(HWND mainWnd) {
    mainWnd_ = mainWnd;
    if (!IsWindowAlive()) {
        if (!Create(ResLib(), IDD_SETTINGS, mainWnd)) return nullptr;
    } else if (!IsWindowVisible(hwnd())) {
        // What was left by Cancel, or changed elsewhere since, is read afresh.
        for (CSettingsPage* page : pages_) page->Load();
    }
    ShowWindow(hwnd(), SW_SHOW);
    SetForegroundWindow(hwnd());
    return hwnd();
}

INT_PTR CSettingsDlg::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_INITDIALOG:
        return OnInitDialog();
    case WM_COMMAND:
        switch (LOWORD(wp)) {
        case IDOK:
            Ok();
            return TRUE;
        case IDCANCEL:
            Cancel();
            return TRUE;
        case IDC_SETTINGS_PAGES:
            if (HIWORD(wp) == LBN_SELCHANGE)
                SelectPage(static_cast<int>(SendMessageA(Item(IDC_SETTINGS_PAGES), LB_GETCURSEL, 0, 0)));
            return TRUE;
        default:
            return FALSE;
        }
    case WM_CTLCOLORSTATIC:
        if (reinterpret_cast<HWND>(lp) != Item(IDC_SETTINGS_TITLE)) return FALSE;
        return TitleColours(reinterpret_cast<HDC>(wp));
    case SPM_GETMAINWND:
        return Result(reinterpret_cast<LRESULT>(mainWnd_));
    case WM_CLOSE:
        Cancel();
        return TRUE;
    case WM_DESTROY:
        OnDestroy();
        return FALSE;
    default:
        return FALSE;
    }
}

BOOL CSettingsDlg::OnInitDialog() {
    // The alerts page offers the winks in the folder now.
    RebuildWinkCatalogue();
    CreatePages();
    // Sizes are in 96-DPI pixels, made as much larger as the screen's DPI.
    titleFont_.reset(CreateFontA(uikit::ScaleToDpi(kTitleHeight, uikit::SystemDpi()), 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                                 OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                 DEFAULT_PITCH | FF_DONTCARE, "Tahoma"));
    titleBrush_.reset(CreateSolidBrush(kSettingsTitleBack));
    SendMessageA(Item(IDC_SETTINGS_TITLE), WM_SETFONT, reinterpret_cast<WPARAM>(titleFont_.get()), FALSE);
    SelectPage(0);
    return TRUE;
}

void CSettingsDlg::CreatePages() {
    struct PageDef {
        CSettingsPage* page;
        int templateId;
        UINT nameId;
    };
    const PageDef defs[] = {
        {general_.get(), IDD_SETTINGS_GENERAL, IDS_PAGE_GENERAL},
        {alerts_.get(), IDD_SETTINGS_ALERTS, IDS_PAGE_ALERTS},
        {sticks_.get(), IDD_SETTINGS_STICKS, IDS_PAGE_STICKS},
        {sync_.get(), IDD_SETTINGS_SYNC, IDS_PAGE_SYNC},
    };
    HWND list = Item(IDC_SETTINGS_PAGES);
    for (const PageDef& def : defs) {
        const int index = static_cast<int>(pages_.size());
        def.page->SetShowHandler([this, index] { SelectPage(index); });
        if (!def.page->CreatePage(hwnd(), def.templateId)) continue;
        pages_.push_back(def.page);
        SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(LoadResString(def.nameId).c_str()));
    }
}

HWND CSettingsDlg::PageWindow(int index) const {
    return index >= 0 && index < PageCount() ? pages_[static_cast<size_t>(index)]->hwnd() : nullptr;
}

int CSettingsDlg::ShownPage() const {
    for (int i = 0; i < PageCount(); ++i)
        if (IsWindowVisible(PageWindow(i))) return i;
    return -1;
}

void CSettingsDlg::SelectPage(int index) {
    if (index < 0 || index >= PageCount()) return;
    HWND list = Item(IDC_SETTINGS_PAGES);
    RECT listRect = {}, client = {};
    GetWindowRect(list, &listRect);
    GetClientRect(hwnd(), &client);
    const int dpi = uikit::SystemDpi();
    const int x = (listRect.right - listRect.left) + uikit::ScaleToDpi(kSettingsPageGap, dpi);
    const int top = uikit::ScaleToDpi(kSettingsPageTop, dpi);
    const int width = client.right - uikit::ScaleToDpi(kSettingsPageRightMargin, dpi) - x;
    const int height = listRect.bottom - listRect.top;
    for (int i = 0; i < PageCount(); ++i) {
        if (i == index)
            // Right after the list in the Tab order.
            SetWindowPos(PageWindow(i), list, x, top, width, height, SWP_SHOWWINDOW | SWP_NOACTIVATE);
        else
            ShowWindow(PageWindow(i), SW_HIDE);
    }
    // The name line stands over the page, as wide as it is.
    HWND title = Item(IDC_SETTINGS_TITLE);
    const RECT titleRect = [&] {
        RECT rc = {};
        GetWindowRect(title, &rc);
        MapWindowPoints(nullptr, hwnd(), reinterpret_cast<POINT*>(&rc), 2);
        return rc;
    }();
    SetWindowPos(title, nullptr, x, titleRect.top, width, titleRect.bottom - titleRect.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    SendMessageA(list, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
    char name[128] = {};
    if (SendMessageA(list, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0) < static_cast<LRESULT>(sizeof name))
        SendMessageA(list, LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(name));
    SetDlgItemTextA(hwnd(), IDC_SETTINGS_TITLE, name);
}

bool CSettingsDlg::Ok() {
    // Nothing is written while any page holds what cannot be stored, nor while
    // the file cannot be written: the pages act on the program too (the Run
    // value, the note font), which must not change for what is not kept.
    for (CSettingsPage* page : pages_)
        if (!page->CanApply()) return false;
    bool written = SettingsFileWritable();
    for (CSettingsPage* page : pages_) {
        if (!written) break;
        written = SendMessageA(page->hwnd(), SPM_APPLY, 0, 0) != 0;
    }
    if (!written) {
        // One message; the dialog stays with what the user set, to try again.
        ShowSettingsNotWritten(hwnd());
        return false;
    }
    Cancel();
    return true;
}

void CSettingsDlg::Cancel() {
    for (CSettingsPage* page : pages_) page->Hidden();
    ShowWindow(hwnd(), SW_HIDE);
}

INT_PTR CSettingsDlg::TitleColours(HDC dc) {
    SetTextColor(dc, kSettingsTitleText);
    SetBkColor(dc, kSettingsTitleBack);
    return reinterpret_cast<INT_PTR>(titleBrush_.get());
}

void CSettingsDlg::OnDestroy() {
    for (CSettingsPage* page : pages_) page->Destroy();
    pages_.clear();
    SendMessageA(Item(IDC_SETTINGS_PAGES), LB_RESETCONTENT, 0, 0);
}

}  // namespace pinora
