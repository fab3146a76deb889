#include "SkinChooser.h"

#include <algorithm>

#include "Catalogues_win.h"
#include "ResourceLibrary.h"
#include "SettingsNotWritten.h"
#include "Skin.h"
#include "Skins.h"
#include "SkinsIds.h"
#include "TextFold.h"

namespace pinora {

INT_PTR CSkinChooserDlg::Run(HWND owner) {
    CSkinChooserDlg dlg;
    return dlg.DoModal(ResLib(), IDD_SKIN_CHOOSER, owner);
}

INT_PTR CSkinChooserDlg::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_INITDIALOG:
        return OnInitDialog();
    case WM_COMMAND:
        switch (LOWORD(wp)) {
        case IDC_SKIN_LIST:
            if (HIWORD(wp) == CBN_SELCHANGE) ShowPreviewOf(SelectedFile());
            return TRUE;
        case IDOK:
            OnOk();
            return TRUE;
        case IDCANCEL:
            Close(IDCANCEL);
            return TRUE;
        }
        return FALSE;
    case WM_DRAWITEM: {
        auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lp);
        if (wp != IDC_SKIN_PREVIEW || !item) return FALSE;
        DrawPreview(item->hDC, item->rcItem);
        return TRUE;
    }
    case WM_CLOSE:
        Close(IDCANCEL);
        return TRUE;
    default:
        return FALSE;
    }
}

BOOL CSkinChooserDlg::OnInitDialog() {
    FillList();
    std::string name, file;
    LoadCurrentSkin(name, file);
    ShowPreviewOf(file);
    SelectCurrentSkin(name);
    return TRUE;
}

void CSkinChooserDlg::FillList() {
    // The folder may have changed since the last opening: list what is there now.
    RebuildSkinCatalogue();
    HWND list = Item(IDC_SKIN_LIST);
    for (const CatalogueEntry& e : ReadCatalogue(SkinCataloguePath())) {
        LRESULT i = SendMessageA(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(e.name.c_str()));
        if (i < 0) continue;
        SendMessageA(list, CB_SETITEMDATA, static_cast<WPARAM>(i), static_cast<LPARAM>(files_.size()));
        files_.push_back(e.file);
    }
}

void CSkinChooserDlg::SelectCurrentSkin(const std::string& currentName) {
    // No skin chosen yet: an empty name would match whatever entry comes first.
    if (currentName.empty()) return;
    // From the second entry on, wrapping round to the first.
    LRESULT i = SendMessageA(Item(IDC_SKIN_LIST), CB_FINDSTRING, 0, reinterpret_cast<LPARAM>(currentName.c_str()));
    if (i != CB_ERR) SendMessageA(Item(IDC_SKIN_LIST), CB_SETCURSEL, static_cast<WPARAM>(i), 0);
}

std::string CSkinChooserDlg::SelectedName() const {
    HWND list = Item(IDC_SKIN_LIST);
    LRESULT i = SendMessageA(list, CB_GETCURSEL, 0, 0);
    if (i == CB_ERR) return {};
    LRESULT length = SendMessageA(list, CB_GETLBTEXTLEN, static_cast<WPARAM>(i), 0);
    if (length == CB_ERR) return {};
    std::string text(static_cast<size_t>(length) + 1, '\0');
    SendMessageA(list, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<size_t>(length));
    return text;
}

std::string CSkinChooserDlg::SelectedFile() const {
    HWND list = Item(IDC_SKIN_LIST);
    LRESULT i = SendMessageA(list, CB_GETCURSEL, 0, 0);
    if (i == CB_ERR) return {};
    LRESULT index = SendMessageA(list, CB_GETITEMDATA, static_cast<WPARAM>(i), 0);
    if (index < 0 || static_cast<size_t>(index) >= files_.size()) return {};
    return files_[static_cast<size_t>(index)];
}

void CSkinChooserDlg::ShowPreviewOf(const std::string& skinFile) {
    preview_.reset(skinFile.empty() ? nullptr : LoadLibraryBitmap(skinFile.c_str(), kSkinPreviewBitmap));
    InvalidateRect(Item(IDC_SKIN_PREVIEW), nullptr, TRUE);
}

void CSkinChooserDlg::DrawPreview(HDC dc, const RECT& frame) const {
    RECT rc = frame;
    HBRUSH back = reinterpret_cast<HBRUSH>(uikit::HandleSkinMessage(hwnd(), WM_CTLCOLORDLG, 0, 0));
    FillRect(dc, &rc, back ? back : GetSysColorBrush(COLOR_BTNFACE));
    DrawEdge(dc, &rc, EDGE_ETCHED, BF_RECT);
    if (!preview_) return;
    BITMAP bm = {};
    if (!GetObjectA(preview_.get(), sizeof bm, &bm)) return;
    int left = frame.left + kSkinPreviewInset, top = frame.top + kSkinPreviewInset;
    int width = std::min<int>(bm.bmWidth, frame.right - kSkinPreviewInset - left);
    int height = std::min<int>(bm.bmHeight, frame.bottom - kSkinPreviewInset - top);
    if (width <= 0 || height <= 0) return;
    HDC mem = CreateCompatibleDC(dc);
    if (!mem) return;
    HGDIOBJ old = SelectObject(mem, preview_.get());
    BitBlt(dc, left, top, width, height, mem, 0, 0, SRCCOPY);
    SelectObject(mem, old);
    DeleteDC(mem);
}

void CSkinChooserDlg::OnOk() {
    std::string name = SelectedName(), file = SelectedFile();
    std::string currentName, currentFile;
    LoadCurrentSkin(currentName, currentFile);
    if (!file.empty() && !uikit::SameTextIgnoringCase(name, currentName)) {
        // Applied only when stored: the next start shows what the file holds.
        if (!SaveCurrentSkin(name, file)) {
            ShowSettingsNotWritten(hwnd());
            return;
        }
        // A library the toolkit refuses is still remembered as the user's choice.
        ApplySkin(file.c_str(), hwnd());
    }
    Close(IDOK);
}

void CSkinChooserDlg::Close(INT_PTR result) {
    if (IsModal())
        EndDialog(hwnd(), result);
    else
        DestroyWindow(hwnd());
}

}  // namespace pinora
