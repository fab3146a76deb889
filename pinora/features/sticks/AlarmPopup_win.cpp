#include "AlarmPopup.h"

#include <commctrl.h>

#include <algorithm>
#include <cstring>

#include "AlarmStore.h"
#include "DoRoRazIds.h"
#include "ResourceLibrary.h"
#include "Utf8Text.h"
#include "WindowPlacement.h"

namespace pinora {

namespace {
constexpr int kStackGap = 10;  // more than one slide step, so resting pop-ups never overlap
}  // namespace

bool CAlarmDlg::Fill(HWND owner, const AlarmCode& alarm, const std::string& text, int record,
                     const std::string& alarmTable, bool outOfDate) {
    if (!IsWindowAlive()) {
        slid_ = false;
        if (!Create(ResLib(), IDD_ALARM_POPUP, owner)) return false;
        SendMessageA(hwnd(), ADM_SETOWNER, 0, reinterpret_cast<LPARAM>(owner));
    }
    alarm_ = alarm;
    uikit::CopyUtf8(text_, sizeof text_, text.c_str());
    record_ = record;
    alarmTable_ = alarmTable;
    recordValid_ = true;
    outOfDate_ = outOfDate;
    OfferSnooze(!outOfDate);
    return true;
}

void CAlarmDlg::ForgetRecord() {
    recordValid_ = false;
    if (IsWindowAlive()) OfferSnooze(false);
}

void CAlarmDlg::OfferSnooze(bool offered) {
    if (!offered) CheckDlgButton(hwnd(), IDC_ALARM_AGAIN, BST_UNCHECKED);
    EnableWindow(Item(IDC_ALARM_AGAIN), offered);
    EnableWindow(Item(IDC_ALARM_DELAY), offered);
    EnableWindow(Item(IDOK), offered && IsDlgButtonChecked(hwnd(), IDC_ALARM_AGAIN) == BST_CHECKED);
}

void CAlarmDlg::ShowAndSlide(bool quiet) {
    if (!IsWindowAlive()) return;
    quiet_ = quiet;
    ShowWindow(hwnd(), SW_SHOWNOACTIVATE);
    SetWindowPos(hwnd(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    SendMessageA(hwnd(), ADM_SETTEXT, 0, reinterpret_cast<LPARAM>(text_));
    if (slid_)
        StartBlink();
    else
        StartSlide();
    if (!quiet_) SetActiveWindow(hwnd());
}

void CAlarmDlg::KeepOnScreen() {
    if (!IsWindowAlive() || !IsWindowVisible(hwnd())) return;
    if (!slid_) {
        StartSlide();  // again, on a monitor that is there
        return;
    }
    const RECT rest = RestRect();
    SetWindowPos(hwnd(), nullptr, rest.left, rest.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

INT_PTR CAlarmDlg::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_INITDIALOG:
        return OnInitDialog();
    case WM_COMMAND:
        OnCommand(LOWORD(wp));
        return TRUE;
    case WM_TIMER:
        if (wp == kSlideTimer) SlideStep();
        if (wp == kBlinkTimer) BlinkStep();
        return TRUE;
    case WM_PAINT:
        PaintFrame();
        return TRUE;
    case ADM_SETTEXT:
        SetDlgItemTextA(hwnd(), IDC_ALARM_TEXT, reinterpret_cast<const char*>(lp));
        return TRUE;
    case ADM_SETOWNER:
        owner_ = reinterpret_cast<HWND>(lp);
        return TRUE;
    case WM_DESTROY:
        uikit::ForgetPlacesItself(hwnd());
        KillTimer(hwnd(), kSlideTimer);
        KillTimer(hwnd(), kBlinkTimer);
        SnoozeIfAsked();
        recordValid_ = false;
        slid_ = false;
        blinkCounter_ = 1;
        return TRUE;
    default:
        return FALSE;
    }
}

BOOL CAlarmDlg::OnInitDialog() {
    HWND combo = Item(IDC_ALARM_DELAY);
    for (UINT id = IDS_DELAY_FIRST; id < IDS_DELAY_FIRST + 6; ++id)
        SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(LoadResString(id).c_str()));
    SendMessageA(combo, CB_SETCURSEL, 0, 0);
    EnableWindow(Item(IDOK), FALSE);
    frameColour_ = kFrameColour;
    uikit::SetPlacesItself(hwnd());  // it slides up from the monitor's bottom edge
    return TRUE;
}

void CAlarmDlg::OnCommand(UINT id) {
    switch (id) {
    case IDC_ALARM_AGAIN:
        EnableWindow(Item(IDOK), IsWindowEnabled(Item(IDC_ALARM_AGAIN)) &&
                                     IsDlgButtonChecked(hwnd(), IDC_ALARM_AGAIN) == BST_CHECKED);
        break;
    case IDOK:
    case IDCANCEL:
        if (IsModal())
            EndDialog(hwnd(), id);
        else
            DestroyWindow(hwnd());
        break;
    case IDC_ALARM_MANAGER:
        if (owner_) SendMessageA(owner_, WM_COMMAND, ID_CALENDAR, 0);
        SendMessageA(hwnd(), WM_COMMAND, IDCANCEL, 0);
        break;
    default:
        break;
    }
}

RECT CAlarmDlg::RestRect() const {
    // Slot 0 rests with its top above the monitor's bottom - h - 30; each further
    // slot one pop-up higher, in columns leftwards once the work area's height is
    // used up.
    uikit::PopupStack stack;
    stack.width = width_;
    stack.height = height_;
    stack.gap = kStackGap;
    return uikit::ToRECT(uikit::StackedPopupRect(uikit::MonitorAtCursor(), stack, slot_));
}

void CAlarmDlg::StartSlide() {
    RECT rc;
    GetWindowRect(hwnd(), &rc);
    width_ = rc.right - rc.left;
    height_ = rc.bottom - rc.top;
    const RECT rest = RestRect();
    // From where only its top 30 pixels show, up to its resting place.
    restTop_ = rest.top;
    slide_ = rest;
    OffsetRect(&slide_, 0, rest.bottom - rest.top);
    KillTimer(hwnd(), kBlinkTimer);
    SetTimer(hwnd(), kSlideTimer, 10, nullptr);
}

void CAlarmDlg::StartBlink() {
    blinkCounter_ = 1;
    SetTimer(hwnd(), kBlinkTimer, 100, nullptr);
}

void CAlarmDlg::SlideStep() {
    SetWindowPos(hwnd(), nullptr, slide_.left, slide_.top, width_, height_, SWP_NOZORDER | SWP_NOACTIVATE);
    const int step = slide_.top > restTop_ + height_ / 2 ? 8 : 5;
    OffsetRect(&slide_, 0, -step);
    if (slide_.top < restTop_) {
        KillTimer(hwnd(), kSlideTimer);
        slid_ = true;
        StartBlink();
    }
}

void CAlarmDlg::BlinkStep() {
    // Quiet, it blinks its colours only: the focus stays with the user's work.
    if (blinkCounter_ % 2 == 1) {
        frameColour_ = kBlinkMagenta;
        if (!quiet_ && GetFocus() && (GetFocus() == hwnd() || IsChild(hwnd(), GetFocus()))) SetFocus(nullptr);
    } else {
        frameColour_ = kBlinkGreen;
        if (!quiet_) SetFocus(hwnd());
    }
    InvalidateRect(hwnd(), nullptr, TRUE);
    if (++blinkCounter_ >= kBlinkEnd) {
        KillTimer(hwnd(), kBlinkTimer);
        frameColour_ = kFrameColour;
        InvalidateRect(hwnd(), nullptr, TRUE);
        if (!quiet_) {
            SetFocus(hwnd());
            SetActiveWindow(hwnd());
        }
        blinkCounter_ = 1;
    }
}

void CAlarmDlg::PaintFrame() {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd(), &ps);
    RECT rc;
    GetClientRect(hwnd(), &rc);
    HBRUSH frame = CreateSolidBrush(frameColour_);
    for (int i = 0; i < 3; ++i) {
        FrameRect(dc, &rc, frame);
        InflateRect(&rc, -1, -1);
    }
    DeleteObject(frame);
    EndPaint(hwnd(), &ps);
}

bool CAlarmDlg::StillTheAlarmShown() const {
    // A stick made a plain note, or given another time since the pop-up came,
    // keeps what it is now. A finished one-time alarm is revived: the tick after
    // its time finishes it, usually before the user answers.
    char state[8] = {}, code[64] = {};
    if (ReadAlarmField(alarmTable_, record_, kAlarmState, state) != 1 ||
        ReadAlarmField(alarmTable_, record_, kAlarmCode, code) != 1)
        return false;
    if (std::strcmp(state, kStateLive) != 0 && std::strcmp(state, kStateFinished) != 0) return false;
    return EncodeAlarmCode(DecodeAlarmCode(code)) == EncodeAlarmCode(alarm_);
}

void CAlarmDlg::SnoozeIfAsked() {
    if (!recordValid_ || outOfDate_ || IsDlgButtonChecked(hwnd(), IDC_ALARM_AGAIN) != BST_CHECKED) return;
    if (!StillTheAlarmShown()) return;
    LRESULT sel = SendMessageA(Item(IDC_ALARM_DELAY), CB_GETCURSEL, 0, 0);
    const AlarmCode moved = SnoozedAlarm(alarm_, sel == CB_ERR ? 0 : static_cast<int>(sel));
    // The five-minute warning comes again at the new time.
    if (SetAlarmField(alarmTable_, record_, kAlarmCode, EncodeAlarmCode(moved).c_str()) &&
        SetAlarmField(alarmTable_, record_, kAlarm5, "0") &&
        SetAlarmField(alarmTable_, record_, kAlarmState, kStateLive) && snoozed_)
        snoozed_();
}

}  // namespace pinora
