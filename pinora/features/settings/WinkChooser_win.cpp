#include "WinkChooser.h"

#include <commctrl.h>

#include <algorithm>
#include <cstring>

#include "CatalogueTable.h"
#include "Catalogues_win.h"
#include "DoRoRazIds.h"
#include "Dpi.h"
#include "ResourceLibrary.h"
#include "SettingsPage.h"
#include "Utf8Text.h"
#include "WinkPlayer.h"
#include "WindowText.h"

namespace pinora {
namespace {

constexpr int kListMargin = 10;

// Lengths in 96-DPI pixels as the screen's.
int Scaled(int length) { return uikit::ScaleToDpi(length, uikit::SystemDpi()); }

void AddColumn(HWND list, int index, int width, UINT titleId) {
    std::string title = LoadResString(titleId);
    LVCOLUMNA column = {};
    column.mask = LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
    column.cx = width;
    column.pszText = title.data();
    column.iSubItem = index;
    SendMessageA(list, LVM_INSERTCOLUMNA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&column));
}

}  // namespace

HWND CWinkChooserDlg::Open(HWND owner, const std::string& caption) {
    owner_ = owner;
    if (!IsWindowAlive()) {
        if (!Create(ResLib(), IDD_WINK_CHOOSER, owner)) return nullptr;
    } else {
        Fill();
    }
    if (!caption.empty()) SetWindowTextA(hwnd(), caption.c_str());
    ShowWindow(hwnd(), SW_SHOW);
    SetForegroundWindow(hwnd());
    SetFocus(list_);
    return hwnd();
}

void CWinkChooserDlg::Hide() {
    if (IsWindowAlive()) ShowWindow(hwnd(), SW_HIDE);
}

INT_PTR CWinkChooserDlg::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_INITDIALOG:
        return OnInitDialog();
    case WM_COMMAND:
        switch (LOWORD(wp)) {
        case IDOK:
            OnOk();
            return TRUE;
        case IDCANCEL:
            Hide();
            return TRUE;
        case IDC_WINK_PLAY:
            if (selected_ >= 0) PlayWink(Row(selected_).path, Row(selected_).code);
            return TRUE;
        default:
            return FALSE;
        }
    case WM_NOTIFY: {
        const auto* header = reinterpret_cast<const NMHDR*>(lp);
        if (!header || header->idFrom != IDC_WINK_LIST) return FALSE;
        if (header->code == LVN_ITEMCHANGED) OnSelectionChanged();
        else if (header->code == NM_DBLCLK) OnOk();
        return TRUE;
    }
    case WM_MEASUREITEM: {
        auto* item = reinterpret_cast<MEASUREITEMSTRUCT*>(lp);
        if (!item || item->CtlID != IDC_WINK_LIST) return FALSE;
        item->itemHeight = static_cast<UINT>(Scaled(kWinkRowHeight));
        return TRUE;
    }
    case WM_DRAWITEM: {
        const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lp);
        if (!item || item->CtlID != IDC_WINK_LIST) return FALSE;
        DrawRow(*item);
        return TRUE;
    }
    case WM_CLOSE:
        Hide();
        return TRUE;
    default:
        return FALSE;
    }
}

BOOL CWinkChooserDlg::OnInitDialog() {
    CreateList();
    Fill();
    return FALSE;  // Open puts the focus on the list
}

void CWinkChooserDlg::CreateList() {
    RECT client = {}, ok = {};
    GetClientRect(hwnd(), &client);
    GetWindowRect(Item(IDOK), &ok);
    MapWindowPoints(nullptr, hwnd(), reinterpret_cast<POINT*>(&ok), 2);
    const int margin = Scaled(kListMargin);
    const int width = client.right - 2 * margin;
    const int height = ok.top - 2 * margin;
    list_ = CreateWindowExA(WS_EX_CLIENTEDGE, WC_LISTVIEWA, "",
                            WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS |
                                LVS_OWNERDRAWFIXED,
                            margin, margin, width, height, hwnd(),
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_WINK_LIST)), nullptr, nullptr);
    if (!list_) return;
    SendMessageA(list_, WM_SETFONT, SendMessageA(hwnd(), WM_GETFONT, 0, 0), FALSE);
    SendMessageA(list_, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
    AddColumn(list_, 0, Scaled(kWinkNumberColumn), IDS_WINK_COLUMN_NUMBER);
    AddColumn(list_, 1, Scaled(kWinkNameColumn), IDS_WINK_COLUMN_NAME);
    AddColumn(list_, 2, std::max(0, width - Scaled(kWinkPreviewColumnShort)), IDS_WINK_COLUMN_PREVIEW);
    // First in the Tab order.
    SetWindowPos(list_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void CWinkChooserDlg::Fill() {
    SendMessageA(list_, LVM_DELETEALLITEMS, 0, 0);
    rows_.clear();
    selected_ = -1;
    // A missing catalogue is an empty list.
    for (const CatalogueEntry& entry : ReadCatalogue(WinkCataloguePath())) {
        WinkRow row;
        row.choice.code = kWinkMovieResource;
        uikit::CopyUtf8(row.choice.path, kWinkPathLength, entry.file.c_str());
        row.name = entry.name;
        row.preview.reset(LoadLibraryBitmap(entry.file.c_str(), kWinkPreviewBitmap));
        rows_.push_back(std::move(row));
    }
    for (size_t i = 0; i < rows_.size(); ++i) {
        std::string number = std::to_string(i + 1);
        LVITEMA item = {};
        item.mask = LVIF_TEXT;
        item.iItem = static_cast<int>(i);
        item.pszText = number.data();
        SendMessageA(list_, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
        item.iSubItem = 1;
        item.pszText = rows_[i].name.data();
        SendMessageA(list_, LVM_SETITEMTEXTA, i, reinterpret_cast<LPARAM>(&item));
    }
    OnSelectionChanged();
}

void CWinkChooserDlg::SelectRow(int row) {
    LVITEMA state = {};
    state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    state.state = row >= 0 ? LVIS_SELECTED | LVIS_FOCUSED : 0;
    SendMessageA(list_, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&state));
    OnSelectionChanged();
}

void CWinkChooserDlg::OnSelectionChanged() {
    const LRESULT row = SendMessageA(list_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED);
    selected_ = row >= 0 && row < RowCount() ? static_cast<int>(row) : -1;
    EnableWindow(Item(IDOK), selected_ >= 0);
    EnableWindow(Item(IDC_WINK_PLAY), selected_ >= 0);
}

void CWinkChooserDlg::OnOk() {
    if (selected_ < 0) return;
    if (owner_ && IsWindow(owner_))
        SendMessageA(owner_, WCM_WINKCHOSEN, 0, reinterpret_cast<LPARAM>(&rows_[static_cast<size_t>(selected_)].choice));
    Hide();
}

void CWinkChooserDlg::DrawRow(const DRAWITEMSTRUCT& item) const {
    if (item.itemID >= rows_.size()) return;
    const WinkRow& row = rows_[item.itemID];
    HDC dc = item.hDC;
    const bool selected = (item.itemState & ODS_SELECTED) != 0;
    FillRect(dc, &item.rcItem, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));

    RECT cell = item.rcItem;
    const int widths[3] = {
        static_cast<int>(SendMessageA(list_, LVM_GETCOLUMNWIDTH, 0, 0)),
        static_cast<int>(SendMessageA(list_, LVM_GETCOLUMNWIDTH, 1, 0)),
        static_cast<int>(SendMessageA(list_, LVM_GETCOLUMNWIDTH, 2, 0)),
    };
    const std::string number = std::to_string(item.itemID + 1);
    const std::string* texts[2] = {&number, &row.name};
    for (int column = 0; column < 2; ++column) {
        cell.right = cell.left + widths[column];
        RECT text = cell;
        InflateRect(&text, -4, 0);
        uikit::DrawTextUtf8(dc, *texts[column], &text, DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX);
        cell.left = cell.right;
    }
    cell.right = cell.left + widths[2];
    InflateRect(&cell, -2, -2);
    if (row.preview) DrawFitted(dc, row.preview.get(), cell);
    if (item.itemState & ODS_FOCUS) DrawFocusRect(dc, &item.rcItem);
}

}  // namespace pinora
