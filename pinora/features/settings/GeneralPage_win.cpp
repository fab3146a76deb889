#include "GeneralPage.h"

#include <commdlg.h>

#include <utility>

#include "DoRoRazIds.h"
#include "MainMessages.h"
#include "ResourceLibrary.h"
#include "Settings.h"
#include "SettingsValues.h"

namespace pinora {
namespace {

constexpr int kAgentPathSize = 260;

bool AskForBitmapFile(HWND owner, std::string& path) {
    char file[kAgentPathSize] = "*.bmp";
    // Display name, pattern, and the empty entry that ends the list.
    std::string filter = LoadResString(IDS_PICTURE_FILTER);
    filter += '\0';
    filter += "*.bmp";
    filter += '\0';
    OPENFILENAMEA ofn = {};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = filter.c_str();
    ofn.lpstrFile = file;
    ofn.nMaxFile = sizeof file;
    ofn.lpstrDefExt = "bmp";
    ofn.Flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR;
    if (!GetOpenFileNameA(&ofn)) return false;
    path = file;
    return true;
}

CGeneralPage::PictureChooser& Chooser() {
    static CGeneralPage::PictureChooser chooser = AskForBitmapFile;
    return chooser;
}

CGeneralPage::RunAtLogonAccess& RunAtLogon() {
    static CGeneralPage::RunAtLogonAccess access;
    if (!access.set) access.set = SetRunAtLogon;
    if (!access.isSet) access.isSet = IsRunAtLogon;
    return access;
}

HBITMAP LoadBitmapFile(const std::string& path) {
    return static_cast<HBITMAP>(LoadImageA(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE));
}

}  // namespace

void CGeneralPage::SetPictureChooser(PictureChooser chooser) {
    Chooser() = chooser ? std::move(chooser) : PictureChooser(AskForBitmapFile);
}

void CGeneralPage::SetRunAtLogonAccess(RunAtLogonAccess access) { RunAtLogon() = std::move(access); }

INT_PTR CGeneralPage::OnPageMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_COMMAND:
        if ((LOWORD(wp) == IDC_GENERAL_CHOOSE_AGENT || LOWORD(wp) == IDC_GENERAL_AGENT) &&
            HIWORD(wp) == BN_CLICKED) {
            ChoosePicture();
            return TRUE;
        }
        return FALSE;
    case WM_DRAWITEM:
        if (wp != IDC_GENERAL_AGENT) return FALSE;
        picture_.Draw(*reinterpret_cast<const DRAWITEMSTRUCT*>(lp));
        return TRUE;
    default:
        return FALSE;
    }
}

void CGeneralPage::OnInitPage() {
    picture_.Bind(Item(IDC_GENERAL_AGENT));
    picture_.KeyOutCornerColour();
    const SIZE most = picture_.TemplateSize();
    SetDlgItemTextA(hwnd(), IDC_GENERAL_AGENT_HINT,
                    PictureHintText(LoadResString(IDS_PICTURE_HINT, 512), static_cast<int>(most.cx),
                                    static_cast<int>(most.cy))
                        .c_str());
}

void CGeneralPage::Load() {
    agentPath_ = ReadSetting("SETTINGS", "agent_bmp", kAgentPathSize);
    if (agentPath_ == "0") agentPath_.clear();
    // A stored picture that is gone or too large shows the default one; its path
    // is kept and written back unchanged.
    uikit::UniqueBitmap stored(agentPath_.empty() ? nullptr : LoadBitmapFile(agentPath_));
    if (stored && Fits(stored.get())) {
        picture_.Show(Item(IDC_GENERAL_AGENT), stored.release());
        showsDefault_ = false;
    } else {
        ShowDefaultPicture();
    }
    // What Windows will do, rather than what the file last said.
    SetChecked(IDC_GENERAL_AUTOSTART, RunAtLogon().isSet());
    SetChecked(IDC_GENERAL_TODAY, ReadSetting("SETTINGS", "auto_start_dk", 2) == "1");
}

bool CGeneralPage::Apply() {
    const bool wanted = IsChecked(IDC_GENERAL_AUTOSTART);
    RunAtLogon().set(wanted);
    // The flag follows the registry, so a refused change is not stored as made.
    const bool registered = RunAtLogon().isSet();
    bool written = WriteFlag(registered, "SETTINGS", "auto_start_os");
    if (registered != wanted) {
        SetChecked(IDC_GENERAL_AUTOSTART, registered);
        Warn(LoadResString(IDS_RUN_AT_LOGON_FAILED, 512), IDC_GENERAL_AUTOSTART);
    }
    written = WriteFlag(IsChecked(IDC_GENERAL_TODAY), "SETTINGS", "auto_start_dk") && written;
    written = WriteSetting(agentPath_.empty() ? "0" : agentPath_.c_str(), "SETTINGS", "agent_bmp") && written;
    if (HWND main = MainWindow()) SendMessageA(main, MWM_STICKSCHANGED, 0, 0);
    return written;
}

void CGeneralPage::ChoosePicture() {
    std::string path;
    if (Chooser()(GetParent(hwnd()), path)) TakePicture(path);
}

bool CGeneralPage::TakePicture(const std::string& path) {
    uikit::UniqueBitmap picture(path.size() < kAgentPathSize ? LoadBitmapFile(path) : nullptr);
    if (!picture) {
        Warn(PictureUnreadableText(LoadResString(IDS_PICTURE_UNREADABLE, 512), path), IDC_GENERAL_CHOOSE_AGENT);
        return false;
    }
    if (!Fits(picture.get())) {
        const SIZE size = PictureSize(picture.get()), most = picture_.TemplateSize();
        Warn(PictureTooBigText(LoadResString(IDS_PICTURE_TOO_BIG, 512), static_cast<int>(size.cx),
                               static_cast<int>(size.cy), static_cast<int>(most.cx), static_cast<int>(most.cy)),
             IDC_GENERAL_CHOOSE_AGENT);
        return false;
    }
    agentPath_ = path;
    picture_.Show(Item(IDC_GENERAL_AGENT), picture.release());
    showsDefault_ = false;
    return true;
}

bool CGeneralPage::Fits(HBITMAP picture) const {
    const SIZE size = PictureSize(picture), most = picture_.TemplateSize();
    return size.cx > 0 && size.cy > 0 && size.cx <= most.cx && size.cy <= most.cy;
}

void CGeneralPage::ShowDefaultPicture() {
    picture_.Show(Item(IDC_GENERAL_AGENT),
                  static_cast<HBITMAP>(LoadImageA(ResLib(), MAKEINTRESOURCEA(IDB_AGENT), IMAGE_BITMAP, 0, 0, 0)));
    showsDefault_ = true;
}

}  // namespace pinora
