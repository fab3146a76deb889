#include "AlertsPage.h"

#include <commctrl.h>

#include <cstring>
#include <utility>

#include "Catalogues_win.h"
#include "DoRoRazIds.h"
#include "Clock.h"
#include "Presence.h"
#include "ResourceLibrary.h"
#include "RestLog.h"
#include "Settings.h"
#include "SettingsMessages.h"
#include "SettingsValues.h"
#include "WinkChooser.h"
#include "WinkPlayer.h"
#include "FilledText.h"
#include "Utf8Text.h"
#include "WindowText.h"

namespace pinora {
namespace {

constexpr int kWinkKeySize = 260;
constexpr int kRestMessageSize = 128;

// The file name of a wink, for a preview button that has no picture to show.
std::string FileNameOf(const std::string& path) {
    const auto slash = path.find_last_of("\\/");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

CAlertsPage::CAlertsPage(SettingsLinks links) : links_(std::move(links)) {}

CAlertsPage::~CAlertsPage() = default;

void CAlertsPage::OnInitPage() {
    HWND spin = Item(IDC_ALERTS_SPIN);
    SendMessageA(spin, UDM_SETBUDDY, reinterpret_cast<WPARAM>(Item(IDC_ALERTS_EACH_TIME)), 0);
    SendMessageA(spin, UDM_SETRANGE32, 0, kRestPeriodSpinMax);
    SendMessageA(spin, UDM_SETPOS32, 0, kRestPeriodStart);
    SendMessageA(Item(IDC_ALERTS_EACH_TIME), EM_LIMITTEXT, kRestPeriodTextLength, 0);
    uikit::LimitItemTextBytes(hwnd(), IDC_ALERTS_TIP_TEXT, kTipTextLength);
    // Alarms always show their window; the box only says so.
    SetChecked(IDC_ALERTS_DLG, true);
    EnableWindow(Item(IDC_ALERTS_DLG), FALSE);
    stickPreview_.Bind(Item(IDC_ALERTS_STICK_PREVIEW));
    restPreview_.Bind(Item(IDC_ALERTS_REST_PREVIEW));
    const std::string playTip = LoadResString(IDS_WINK_PREVIEW_TIP);
    AddTooltip(IDC_ALERTS_STICK_PREVIEW, playTip);
    AddTooltip(IDC_ALERTS_REST_PREVIEW, playTip);
    AddTooltip(IDC_ALERTS_SAMPLE, LoadResString(IDS_REST_SAMPLE));
}

INT_PTR CAlertsPage::OnPageMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_COMMAND:
        if (HIWORD(wp) != BN_CLICKED) return FALSE;
        OnCommand(LOWORD(wp));
        return TRUE;
    case WM_DRAWITEM: {
        const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lp);
        if (wp == IDC_ALERTS_STICK_PREVIEW) stickPreview_.Draw(*item);
        else if (wp == IDC_ALERTS_REST_PREVIEW) restPreview_.Draw(*item);
        else return FALSE;
        return TRUE;
    }
    case WCM_WINKCHOSEN:
        OnWinkChosen(reinterpret_cast<const WinkChoice*>(lp));
        return TRUE;
    case WM_DESTROY:
        if (chooser_) chooser_->Destroy();
        return FALSE;
    default:
        return FALSE;
    }
}

void CAlertsPage::Load() {
    // "check_dlg" is read by nothing: the box stays checked whatever it holds.
    SetChecked(IDC_ALERTS_WINKS, FlagIsOn(ReadSetting("ALERTS", "check_winks", 2)));
    SetChecked(IDC_ALERTS_DRAW, ReadSetting("ALERTS", "check_draw", 2) == "1");
    SetChecked(IDC_ALERTS_EACH_TIME_WINK, FlagIsOn(ReadSetting("ALERTS", "check_each_time", 2)));
    const std::string period = ReadSetting("ALERTS", "each_time", kRestPeriodTextLength + 1);
    if (period.empty())
        SendMessageA(Item(IDC_ALERTS_SPIN), UDM_SETPOS32, 0, kRestPeriodStart);
    else
        SetDlgItemTextA(hwnd(), IDC_ALERTS_EACH_TIME, period.c_str());

    stickWink_ = ReadSetting("ALERTS", "stick_wink", kWinkKeySize);
    restWink_ = ReadSetting("ALERTS", "auto_wink", kWinkKeySize);

    SetChecked(IDC_ALERTS_REST, ReadSetting("ALERTS", "check_rest", 2) == "1");
    SetChecked(IDC_ALERTS_REST_DRAW, ReadSetting("ALERTS", "check_rest_draw", 2) == "1");
    SetChecked(IDC_ALERTS_TIP, ReadSetting("ALERTS", "check_tip_wnd", 2) == "1");

    std::string tip = ReadSetting("ALERTS", "tip_text", kTipTextLength + 1);
    if (tip.empty()) tip = LoadResString(IDS_REST_MESSAGE, kRestMessageSize);
    SetDlgItemTextA(hwnd(), IDC_ALERTS_TIP_TEXT, tip.c_str());

    // Each wink that is set shows its preview, whether or not the other one is.
    ShowPreview(IDC_ALERTS_STICK_PREVIEW, stickWink_);
    ShowPreview(IDC_ALERTS_REST_PREVIEW, restWink_);

    // On unless switched off: "0" is the only value that lets reminders interrupt.
    SetChecked(IDC_ALERTS_QUIET, QuietWhenBusy());
    ShowBreaksToday();
}

void CAlertsPage::ShowBreaksToday() {
    // One figure from the user's break record, while it is kept.
    HWND line = Item(IDC_ALERTS_BREAKS_TODAY);
    const std::string record = RestLogWanted() ? CurrentUserRestLog() : std::string();
    if (record.empty()) {
        ShowWindow(line, SW_HIDE);
        return;
    }
    const LocalTime now = CurrentClock().Now();
    const int breaks = CountRestLogDay(record, now.year, now.month, now.day).breaks;
    // Filled, not printed: the library's text is the translator's, and a fixed
    // buffer would cut a long one inside a character.
    SetWindowTextA(line, uikit::FillByPosition(LoadResString(IDS_BREAKS_TODAY), {std::to_string(breaks)}).c_str());
    ShowWindow(line, SW_SHOW);
}

bool CAlertsPage::CanApply() {
    if (ParseWholeNumber(ItemText(IDC_ALERTS_EACH_TIME), 0, kRestPeriodMax)) return true;
    Warn(LoadResString(IDS_REST_PERIOD_BAD, 512), IDC_ALERTS_EACH_TIME);
    return false;
}

bool CAlertsPage::Apply() {
    bool written = WriteFlag(IsChecked(IDC_ALERTS_DLG), "ALERTS", "check_dlg");
    written = WriteFlag(IsChecked(IDC_ALERTS_WINKS), "ALERTS", "check_winks") && written;
    written = WriteFlag(IsChecked(IDC_ALERTS_DRAW), "ALERTS", "check_draw") && written;
    written = WriteFlag(IsChecked(IDC_ALERTS_EACH_TIME_WINK), "ALERTS", "check_each_time") && written;
    // Stored as a plain number ("045" would reach the rest check as "04"); a
    // period that is not one keeps the stored value.
    if (auto minutes = ParseWholeNumber(ItemText(IDC_ALERTS_EACH_TIME), 0, kRestPeriodMax))
        written = WriteSetting(std::to_string(*minutes).c_str(), "ALERTS", "each_time") && written;
    written = WriteSetting(stickWink_.c_str(), "ALERTS", "stick_wink") && written;
    written = WriteSetting(restWink_.c_str(), "ALERTS", "auto_wink") && written;
    written = WriteFlag(IsChecked(IDC_ALERTS_REST), "ALERTS", "check_rest") && written;
    written = WriteFlag(IsChecked(IDC_ALERTS_REST_DRAW), "ALERTS", "check_rest_draw") && written;
    written = WriteFlag(IsChecked(IDC_ALERTS_TIP), "ALERTS", "check_tip_wnd") && written;
    written = WriteSetting(uikit::Utf8Prefix(OneLine(ItemText(IDC_ALERTS_TIP_TEXT)), kTipTextLength).c_str(), "ALERTS",
                           "tip_text") &&
              written;
    written = WriteFlag(IsChecked(IDC_ALERTS_QUIET), "ALERTS", "quiet_when_busy") && written;
    return written;
}

void CAlertsPage::Hidden() {
    if (chooser_) chooser_->Hide();
}

void CAlertsPage::OnCommand(int id) {
    switch (id) {
    case IDC_ALERTS_REST:
        OnRestClicked();
        break;
    case IDC_ALERTS_STICK_WINK:
        OpenWinkChooser(kChooseStickWink);
        break;
    case IDC_ALERTS_REST_WINK:
        OpenWinkChooser(kChooseRestWink);
        break;
    case IDC_ALERTS_STICK_PREVIEW:
        if (!stickWink_.empty()) PlayWink(stickWink_.c_str(), kWinkMovieResource);
        break;
    case IDC_ALERTS_REST_PREVIEW:
        if (!restWink_.empty()) PlayWink(restWink_.c_str(), kWinkMovieResource);
        break;
    case IDC_ALERTS_SAMPLE:
        if (links_.showBitmapMessage) links_.showBitmapMessage(LoadResString(IDS_REST_SAMPLE).c_str());
        break;
    default:
        break;
    }
}

void CAlertsPage::OnRestClicked() {
    // The rest reminder's ways of reminding follow the reminder itself.
    const bool on = IsChecked(IDC_ALERTS_REST);
    SetChecked(IDC_ALERTS_REST_DRAW, on);
    SetChecked(IDC_ALERTS_EACH_TIME_WINK, on);
    SetChecked(IDC_ALERTS_TIP, on);
}

void CAlertsPage::OpenWinkChooser(int mode) {
    chooserMode_ = mode == kChooseRestWink ? kChooseRestWink : kChooseStickWink;
    // Winks added to the folder since the dialog was made are offered too.
    RebuildWinkCatalogue();
    if (!chooser_) chooser_ = std::make_unique<CWinkChooserDlg>();
    chooser_->Open(hwnd(), LoadResString(chooserMode_ == kChooseStickWink ? IDS_WINK_CHOOSER_STICK
                                                                          : IDS_WINK_CHOOSER_REST));
}

void CAlertsPage::OnWinkChosen(const WinkChoice* choice) {
    if (!choice) return;
    const std::string path(choice->path, strnlen(choice->path, kWinkPathLength - 1));
    if (chooserMode_ == kChooseStickWink) {
        stickWink_ = path;
        ShowPreview(IDC_ALERTS_STICK_PREVIEW, stickWink_);
    } else {
        restWink_ = path;
        ShowPreview(IDC_ALERTS_REST_PREVIEW, restWink_);
    }
}

void CAlertsPage::ShowPreview(int buttonId, const std::string& wink) {
    HBITMAP picture = wink.empty() ? nullptr : LoadLibraryBitmap(wink.c_str(), kWinkPreviewBitmap);
    CPictureButton& button = buttonId == IDC_ALERTS_STICK_PREVIEW ? stickPreview_ : restPreview_;
    button.Show(Item(buttonId), picture, wink.empty() ? LoadResString(IDS_NO_WINK) : FileNameOf(wink));
}

}  // namespace pinora
