#include "AlarmPopup.h"

#include <commctrl.h>

#include <cstring>

#include "AlarmStore.h"
#include "DoRoRazIds.h"
#include "ResourceLibrary.h"

namespace pinora {

int& CAlarmDlg::BlinkCounter() {
    static int counter = 1;  // shared by every pop-up
    return counter;
}

bool CAlarmDlg::Fill(HWND owner, const AlarmCode& alarm, const std::string& text, int record,
                     const std::string& alarmTable) {
    if (!IsWindowAlive()) {
        if (!Create(ResLib(), IDD_ALARM_POPUP, owner)) return false;
        SendMessageA(hwnd(), ADM_SETOWNER, 0, reinterpret_cast<LPARAM>(owner));
    }
    alarm_ = alarm;
    std::strncpy(text_, text.c_str(), sizeof text_ - 1);
    text_[sizeof text_ - 1] = '\0';
    record_ = record;
    alarmTable_ = alarmTable;
    recordValid_ = true;
    return true;
}

void CAlarmDlg::ShowAndSlide() {
    if (!IsWindowAlive()) return;
    ShowWindow(hwnd(), SW_SHOWNOACTIVATE);
    SetWindowPos(hwnd(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    SendMessageA(hwnd(), ADM_SETTEXT, 0, reinterpret_cast<LPARAM>(text_));
    StartSlide();
    SetActiveWindow(hwnd());
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
        KillTimer(hwnd(), kSlideTimer);
        KillTimer(hwnd(), kBlinkTimer);
        SnoozeIfAsked();
        recordValid_ = false;
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
    return TRUE;
}

void CAlarmDlg::OnCommand(UINT id) {
    switch (id) {
    case IDC_ALARM_AGAIN:
        EnableWindow(Item(IDOK), IsDlgButtonChecked(hwnd(), IDC_ALARM_AGAIN) == BST_CHECKED);
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

void CAlarmDlg::StartSlide() {
    RECT rc;
    GetWindowRect(hwnd(), &rc);
    width_ = rc.right - rc.left;
    height_ = rc.bottom - rc.top;
    screenWidth_ = GetSystemMetrics(SM_CXSCREEN);
    screenHeight_ = GetSystemMetrics(SM_CYSCREEN);
    slide_.left = screenWidth_ - width_ - 5;
    slide_.top = screenHeight_ - 30;
    slide_.right = slide_.left + width_;
    slide_.bottom = slide_.top + height_;
    KillTimer(hwnd(), kBlinkTimer);
    SetTimer(hwnd(), kSlideTimer, 10, nullptr);
}

void CAlarmDlg::SlideStep() {
    SetWindowPos(hwnd(), nullptr, slide_.left, slide_.top, width_, height_, SWP_NOZORDER | SWP_NOACTIVATE);
    const int step = slide_.top > screenHeight_ - height_ / 2 - 30 ? 8 : 5;
    OffsetRect(&slide_, 0, -step);
    if (slide_.top < screenHeight_ - height_ - 30) {
        KillTimer(hwnd(), kSlideTimer);
        SetTimer(hwnd(), kBlinkTimer, 100, nullptr);
    }
}

void CAlarmDlg::BlinkStep() {
    int& counter = BlinkCounter();
    if (counter % 2 == 1) {
        frameColour_ = kBlinkMagenta;
        if (GetFocus() && (GetFocus() == hwnd() || IsChild(hwnd(), GetFocus()))) SetFocus(nullptr);
    } else {
        frameColour_ = kBlinkGreen;
        SetFocus(hwnd());
    }
    InvalidateRect(hwnd(), nullptr, TRUE);
    if (++counter >= kBlinkEnd) {
        KillTimer(hwnd(), kBlinkTimer);
        frameColour_ = kFrameColour;
        InvalidateRect(hwnd(), nullptr, TRUE);
        SetFocus(hwnd());
        SetActiveWindow(hwnd());
        counter = 1;
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

void CAlarmDlg::SnoozeIfAsked() {
    if (!recordValid_ || IsDlgButtonChecked(hwnd(), IDC_ALARM_AGAIN) != BST_CHECKED) return;
    LRESULT sel = SendMessageA(Item(IDC_ALARM_DELAY), CB_GETCURSEL, 0, 0);
    const AlarmCode moved = SnoozedAlarm(alarm_, sel == CB_ERR ? 0 : static_cast<int>(sel));
    // The five-minute warning comes again at the new time. A one-time alarm is
    // finished by the tick after its time, which is usually before the user
    // closes the pop-up: it is made live again, or the snooze would never ring.
    if (SetAlarmField(alarmTable_, record_, kAlarmCode, EncodeAlarmCode(moved).c_str()) &&
        SetAlarmField(alarmTable_, record_, kAlarm5, "0"))
        SetAlarmField(alarmTable_, record_, kAlarmState, kStateLive);
}

}  // namespace pinora
