#include "StickEditor.h"

#include <commctrl.h>

#include <cstdio>

#include "AlarmStore.h"
#include "DamagedTables.h"
#include "DoRoRazIds.h"
#include "Dpi.h"
#include "MainMessages.h"
#include "MessageBox.h"
#include "ResourceLibrary.h"
#include "StickErrors.h"
#include "StickStore.h"
#include "WhenPhrases.h"
#include "WindowPlacement.h"

namespace pinora {
namespace {

// One caption font for every editor, kept until the program ends.
HFONT CaptionFont() {
    static uikit::UniqueFont font(CreateFontA(-uikit::ScaleToDpi(12, uikit::SystemDpi()), 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                                              OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                              DEFAULT_PITCH | FF_DONTCARE, "Tahoma"));
    return font.get();
}

SYSTEMTIME ToSystemTime(const LocalTime& t) {
    SYSTEMTIME st = {};
    st.wYear = static_cast<WORD>(t.year);
    st.wMonth = static_cast<WORD>(t.month);
    st.wDay = static_cast<WORD>(t.day);
    st.wHour = static_cast<WORD>(t.hour);
    st.wMinute = static_cast<WORD>(t.minute);
    st.wSecond = static_cast<WORD>(t.second);
    st.wDayOfWeek = static_cast<WORD>(t.dayOfWeek);
    return st;
}

SYSTEMTIME PickerTime(HWND picker) {
    SYSTEMTIME st = {};
    if (DateTime_GetSystemtime(picker, &st) != GDT_VALID) GetLocalTime(&st);
    return st;
}

void SetPicker(HWND picker, SYSTEMTIME st) { DateTime_SetSystemtime(picker, GDT_VALID, &st); }

void SetPickerDate(HWND picker, int year, int month, int day) {
    SYSTEMTIME st = PickerTime(picker);
    st.wYear = static_cast<WORD>(year);
    st.wMonth = static_cast<WORD>(month);
    st.wDay = static_cast<WORD>(day);
    st.wDayOfWeek = static_cast<WORD>(DayOfWeek(year, month, day));
    SetPicker(picker, st);
}

CivilDate DateOf(const SYSTEMTIME& st) { return CivilDate{st.wYear, st.wMonth, st.wDay}; }

// The pattern with its "%s" replaced by the text.
std::string FillIn(std::string pattern, const std::string& text) {
    const std::size_t at = pattern.find("%s");
    if (at == std::string::npos) return pattern + " " + text;
    return pattern.replace(at, 2, text);
}

// Tab in the stick text takes the hint while one is shown; otherwise it moves
// on to the next control as in any dialog.
constexpr UINT_PTR kTextSubclass = 1004;

LRESULT CALLBACK StickTextProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id, DWORD_PTR data) noexcept {
    auto* editor = reinterpret_cast<CStickEditDlg*>(data);
    try {
        const bool tab = wp == VK_TAB && GetKeyState(VK_SHIFT) >= 0 && GetKeyState(VK_CONTROL) >= 0;
        switch (msg) {
        case WM_GETDLGCODE: {
            const auto* key = reinterpret_cast<const MSG*>(lp);
            if (key && key->message == WM_KEYDOWN && key->wParam == VK_TAB && tab && editor->HasWhenHint())
                return DefSubclassProc(hwnd, msg, wp, lp) | DLGC_WANTTAB | DLGC_WANTMESSAGE;
            break;
        }
        case WM_KEYDOWN:
            if (tab && editor->HasWhenHint()) {
                editor->ApplyWhenHint();
                return 0;
            }
            break;
        case WM_CHAR:
            if (wp == '\t') return 0;  // the key set the alarm or moved on: no tab in the text
            break;
        case WM_NCDESTROY:
            RemoveWindowSubclass(hwnd, StickTextProc, id);
            break;
        default:
            break;
        }
    } catch (...) {
    }
    return DefSubclassProc(hwnd, msg, wp, lp);
}

}  // namespace

HWND CStickEditDlg::CreateEditor(HWND parent) {
    if (IsWindowAlive()) return hwnd();
    return Create(ResLib(), IDD_STICK_EDITOR, parent);
}

void CStickEditDlg::OpenForNewStick(HWND notify) {
    if (!IsWindowAlive()) return;
    SendMessageA(hwnd(), SEM_SETTEXT, 0, reinterpret_cast<LPARAM>(""));
    SendMessageA(hwnd(), SEM_ENABLEOK, 0, 1);
    if (notify && IsWindow(notify)) SendMessageA(hwnd(), SEM_SETNOTIFY, 0, reinterpret_cast<LPARAM>(notify));
    // At the lower right corner of the monitor the user works on, on its work area.
    RECT rc;
    GetWindowRect(hwnd(), &rc);
    const uikit::Monitor m = uikit::MonitorAtCursor();
    const int w = rc.right - rc.left, h = rc.bottom - rc.top;
    const int x = m.bounds.right - w - 20, y = m.bounds.bottom - h - 50;
    const uikit::Rect at = uikit::FitInside(uikit::Rect{x, y, x + w, y + h}, m.work);
    SetWindowPos(hwnd(), HWND_TOPMOST, at.left, at.top, 0, 0, SWP_NOSIZE);
    ShowWindow(hwnd(), SW_SHOW);
    SetWindowPos(hwnd(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    SendMessageA(hwnd(), SEM_RESET, 0, 0);
}

INT_PTR CStickEditDlg::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_INITDIALOG:
        return OnInitDialog();
    case WM_COMMAND:
        OnCommand(LOWORD(wp), HIWORD(wp));
        return TRUE;
    case WM_TIMER:
        if (wp == kClockTimer) UpdateClock();
        return TRUE;
    case WM_SHOWWINDOW:
        if (!wp) {
            KillTimer(hwnd(), kClockTimer);
            clockRunning_ = false;
        } else if (!clockRunning_) {
            // The clock line runs while it can be seen.
            clockRunning_ = SetTimer(hwnd(), kClockTimer, 1000, nullptr) != 0;
            UpdateClock();
        }
        return FALSE;
    case WM_CTLCOLORSTATIC:
        return ColourStatic(reinterpret_cast<HDC>(wp), reinterpret_cast<HWND>(lp));
    case WM_CLOSE:
        HideEditor();
        return TRUE;
    case WM_DESTROY:
        KillTimer(hwnd(), kClockTimer);
        clockRunning_ = false;
        return FALSE;
    case SEM_SETTEXT:
        text_.Show(Item(IDC_STICK_TEXT), lp ? reinterpret_cast<const char*>(lp) : "");
        // A stored stick's text names the alarm it was saved with, not one to set
        // now (and a multi-line box tells of no change that was not typed).
        HideWhenHint();
        SetFocus(Item(IDC_STICK_TEXT));
        return TRUE;
    case SEM_ENABLEOK:
        Enable(IDOK, lp != 0);
        return TRUE;
    case SEM_RESET:
        Reset();
        return TRUE;
    case SEM_LOADSTICK:
        LoadStick(reinterpret_cast<const char*>(wp), reinterpret_cast<const char*>(lp));
        return TRUE;
    case SEM_DELETE:
        MarkDeleted(static_cast<int>(lp));
        return TRUE;
    case SEM_SETRECORD:
        record_ = static_cast<int>(lp);
        return TRUE;
    case SEM_SHOWDELETE:
        ShowWindow(Item(IDC_STICK_DELETE), lp ? SW_SHOW : SW_HIDE);
        return TRUE;
    case SEM_SETCAPTION:
        SetDlgItemTextA(hwnd(), IDC_STICK_CAPTION, lp ? reinterpret_cast<const char*>(lp) : "");
        RedrawWindow(Item(IDC_STICK_CAPTION), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        return TRUE;
    case SEM_SETNOTIFY:
        notify_ = reinterpret_cast<HWND>(lp);
        return TRUE;
    default:
        return FALSE;
    }
}

BOOL CStickEditDlg::OnInitDialog() {
    uikit::LimitItemTextBytes(hwnd(), IDC_STICK_TEXT, 255);
    SetWindowSubclass(Item(IDC_STICK_TEXT), StickTextProc, kTextSubclass, reinterpret_cast<DWORD_PTR>(this));
    FillWeekdays();
    HWND combo = Item(IDC_STICK_QUICK_DELAY);
    for (UINT id = IDS_DELAY_FIRST; id < IDS_DELAY_FIRST + 6; ++id)
        SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(LoadResString(id).c_str()));
    SendMessageA(combo, CB_SETCURSEL, 0, 0);
    EnableAlarmControls(false);
    Enable(IDC_STICK_QUICK_DELAY, false);
    ShowWindow(Item(IDC_STICK_DELETE), SW_HIDE);
    captionBrush_.reset(CreateSolidBrush(kCaptionBack));
    clockBrush_.reset(CreateSolidBrush(kClockBack));
    SendMessageA(Item(IDC_STICK_CAPTION), WM_SETFONT, reinterpret_cast<WPARAM>(CaptionFont()), FALSE);
    CenterOnOwner();
    // The clock line starts ticking when the editor is shown (WM_SHOWWINDOW): a
    // dialog is created hidden, and the message never comes for a window that
    // is created and then left hidden.
    UpdateClock();
    record_ = -1;
    return TRUE;
}

void CStickEditDlg::OnCommand(UINT id, UINT code) {
    if (id == IDC_STICK_TEXT && code == EN_CHANGE) {  // typed
        UpdateWhenHint();
        return;
    }
    if (code != BN_CLICKED && id != IDOK && id != IDCANCEL) return;
    switch (id) {
    case IDOK:
        OnOk();
        break;
    case IDCANCEL:
        if (IsModal())
            EndDialog(hwnd(), IDCANCEL);
        else
            HideEditor();
        break;
    case IDC_STICK_DELETE:
        OnDeleteButton();
        break;
    case IDC_STICK_ALARM_ON:
        OnAlarmOnClicked();
        break;
    case IDC_STICK_REPEAT:
        OnRepeatClicked();
        break;
    case IDC_STICK_UNTIL:
        Enable(IDC_STICK_END_DATE, Checked(IDC_STICK_UNTIL));
        break;
    case IDC_STICK_KIND2:
        Enable(IDC_STICK_WEEKDAYS, Checked(IDC_STICK_KIND2));
        break;
    case IDC_STICK_KIND1:
    case IDC_STICK_KIND3:
        if (Checked(static_cast<int>(id))) Enable(IDC_STICK_WEEKDAYS, false);
        break;
    case IDC_STICK_QUICK:
        OnQuickClicked();
        break;
    case IDC_STICK_WHEN_HINT:  // STN_CLICKED
        ApplyWhenHint();
        break;
    default:
        break;
    }
}

void CStickEditDlg::OnAlarmOnClicked() {
    const bool on = Checked(IDC_STICK_ALARM_ON);
    Enable(IDC_STICK_TIME, on);
    Enable(IDC_STICK_DATE, on);
    Enable(IDC_STICK_UNTIL, on);
    Enable(IDC_STICK_REPEAT, on);
    if (on) {
        // An hour from now. Past midnight that is tomorrow: a date picker still
        // on today moves with it, or the preset would lie in the past.
        const LocalTime now = CurrentClock().Now();
        const EditorDateTime preset = AlarmOnPreset(now);
        SYSTEMTIME st = ToSystemTime(now);
        st.wYear = static_cast<WORD>(preset.date.year);
        st.wMonth = static_cast<WORD>(preset.date.month);
        st.wDay = static_cast<WORD>(preset.date.day);
        st.wDayOfWeek = static_cast<WORD>(DayOfWeek(preset.date.year, preset.date.month, preset.date.day));
        st.wHour = static_cast<WORD>(preset.hour);
        st.wMinute = static_cast<WORD>(preset.minute);
        SetPicker(Item(IDC_STICK_TIME), st);
        const CivilDate shown = DateOf(PickerTime(Item(IDC_STICK_DATE)));
        const bool carried = DateNumber(preset.date.year, preset.date.month, preset.date.day) !=
                             DateNumber(now.year, now.month, now.day);
        if (carried && DateNumber(shown.year, shown.month, shown.day) == DateNumber(now.year, now.month, now.day))
            SetPickerDate(Item(IDC_STICK_DATE), preset.date.year, preset.date.month, preset.date.day);
        Check(IDC_STICK_QUICK, false);
    } else {
        for (int id : {IDC_STICK_KIND1, IDC_STICK_KIND2, IDC_STICK_KIND3}) Enable(id, false);
        Check(IDC_STICK_REPEAT, false);
        Check(IDC_STICK_KIND1, false);
    }
}

void CStickEditDlg::OnRepeatClicked() {
    const bool on = Checked(IDC_STICK_REPEAT);
    for (int id : {IDC_STICK_KIND1, IDC_STICK_KIND2, IDC_STICK_KIND3}) Enable(id, on);
    if (on) {
        Check(IDC_STICK_KIND1, true);
        Check(IDC_STICK_KIND2, false);
        Check(IDC_STICK_KIND3, false);
    }
}

void CStickEditDlg::OnQuickClicked() {
    const bool on = Checked(IDC_STICK_QUICK);
    if (on) Check(IDC_STICK_ALARM_ON, false);
    Enable(IDC_STICK_QUICK_DELAY, on);
}

StickEditorState CStickEditDlg::ReadControls() const {
    StickEditorState s;
    HWND edit = Item(IDC_STICK_TEXT);
    s.text = text_.Read(edit);
    s.alarmOn = Checked(IDC_STICK_ALARM_ON);
    s.repeat = Checked(IDC_STICK_REPEAT);
    s.until = Checked(IDC_STICK_UNTIL);
    s.quick = Checked(IDC_STICK_QUICK);
    s.kind1 = Checked(IDC_STICK_KIND1);
    s.kind2 = Checked(IDC_STICK_KIND2);
    s.kind3 = Checked(IDC_STICK_KIND3);
    s.start = DateOf(PickerTime(Item(IDC_STICK_DATE)));
    const SYSTEMTIME time = PickerTime(Item(IDC_STICK_TIME));
    s.hour = time.wHour;
    s.minute = time.wMinute;
    s.timeDayOfWeek = DayOfWeek(time.wYear, time.wMonth, time.wDay);
    s.end = DateOf(PickerTime(Item(IDC_STICK_END_DATE)));
    const LRESULT sel = SendMessageA(Item(IDC_STICK_QUICK_DELAY), CB_GETCURSEL, 0, 0);
    s.quickDelay = sel == CB_ERR ? 0 : static_cast<int>(sel);
    bool checked[7] = {};
    for (int i = 0; i < 7; ++i) checked[i] = ListView_GetCheckState(Item(IDC_STICK_WEEKDAYS), i) != 0;
    s.weekly = WeekdayText(checked, IsWindowEnabled(Item(IDC_STICK_WEEKDAYS)) != 0);
    s.keptStartDate = record_ >= 0 ? keptStartDate_ : 0;
    return s;
}

void CStickEditDlg::OnOk() {
    HWND edit = Item(IDC_STICK_TEXT);
    if (GetWindowTextLengthA(edit) == 0) {
        uikit::ShowMessageBox(hwnd(), LoadResString(IDS_STICK_EMPTY).c_str(), LoadResString(IDS_STICK_CAPTION).c_str(),
                              MB_OK | MB_ICONINFORMATION);
        SetFocus(edit);
        return;
    }
    const StickEditorState state = ReadControls();
    const std::string folder = SticksFolder();
    const LocalTime now = CurrentClock().Now();
    if (!IsAlarmTimeValid(state, now)) {
        uikit::ShowMessageBox(hwnd(), LoadResString(IDS_ALARM_TIME_INVALID).c_str(),
                              LoadResString(IDS_STICK_CAPTION).c_str(), MB_OK | MB_ICONINFORMATION);
        return;
    }
    const StickToSave stick = BuildStickToSave(state, now);
    const int written = folder.empty() ? 0
                        : record_ >= 0 ? SaveExistingStick(folder, record_, stick.dateNumber, stick.text, stick.alarm)
                                       : SaveNewStick(folder, stick.dateNumber, stick.text, stick.alarm);
    if (written == 0) {
        // The text stays where the user can still reach it.
        ShowSaveError(folder);
        return;
    }
    SetWindowTextA(edit, "");
    HideWhenHint();
    HideEditor();
    TellChanged();
    if (record_ >= 0 && stickChanged_) stickChanged_(record_);
}

void CStickEditDlg::ShowSaveError(const std::string& folder) {
    std::string text = LoadResString(IDS_STICK_NOT_SAVED);
    for (const char* name : {kStickIndexName, kAlarmTableName}) {
        const std::string path = folder.empty() ? std::string() : folder + name;
        if (!path.empty() && IsTableDamaged(path)) text = DamagedTableMessage(path) + "\r\n\r\n" + text;
    }
    uikit::ShowMessageBox(hwnd(), text.c_str(), LoadResString(IDS_STICK_CAPTION).c_str(), MB_OK | MB_ICONWARNING);
    SetFocus(Item(IDC_STICK_TEXT));
}

void CStickEditDlg::OnDeleteButton() {
    if (record_ == -1) return;
    const int answer =
        uikit::ShowMessageBox(hwnd(), LoadResString(IDS_STICK_DELETE_ASK).c_str(),
                              LoadResString(IDS_STICK_DELETE_CAPTION).c_str(), MB_OKCANCEL | MB_ICONINFORMATION);
    if (answer != IDOK) return;
    SendMessageA(hwnd(), SEM_DELETE, 0, record_);
    HideEditor();
}

void CStickEditDlg::MarkDeleted(int record) {
    const std::string folder = SticksFolder();
    if (!folder.empty()) SetAlarmField(folder + kAlarmTableName, record, kAlarmState, kStateFinished);
    if (stickChanged_) stickChanged_(record);
    if (notify_ && IsWindow(notify_) && IsWindowVisible(notify_)) SendMessageA(notify_, CAL_REFRESH, 0, -1);
    // The today window lists live sticks: it must lose this one too.
    if (HWND parent = GetParent(hwnd())) SendMessageA(parent, MWM_STICKSCHANGED, 0, 0);
}

void CStickEditDlg::TellChanged() {
    if (notify_ && IsWindow(notify_) && IsWindowVisible(notify_)) SendMessageA(notify_, CAL_REFRESH, 0, -1);
    if (HWND parent = GetParent(hwnd())) SendMessageA(parent, MWM_STICKSCHANGED, 0, 0);
}

void CStickEditDlg::HideEditor() { ShowWindow(hwnd(), SW_HIDE); }

void CStickEditDlg::Reset() {
    // Every choice of the last stick goes: a new one starts from the defaults.
    HideWhenHint();
    EnableAlarmControls(false);
    for (int id : {IDC_STICK_ALARM_ON, IDC_STICK_REPEAT, IDC_STICK_KIND1, IDC_STICK_KIND2, IDC_STICK_KIND3,
                   IDC_STICK_UNTIL, IDC_STICK_QUICK})
        Check(id, false);
    Enable(IDC_STICK_REPEAT, false);
    Enable(IDC_STICK_QUICK_DELAY, false);
    SendMessageA(Item(IDC_STICK_QUICK_DELAY), CB_SETCURSEL, 0, 0);
    SetWeekdays("0000000");
    const SYSTEMTIME now = ToSystemTime(CurrentClock().Now());
    SetPicker(Item(IDC_STICK_DATE), now);
    SetPicker(Item(IDC_STICK_TIME), now);
    SetPicker(Item(IDC_STICK_END_DATE), now);
    keptStartDate_ = 0;
    SendMessageA(Item(IDC_STICK_CAPTION), WM_SETFONT, reinterpret_cast<WPARAM>(CaptionFont()), FALSE);
    SendMessageA(hwnd(), SEM_SETCAPTION, 0, reinterpret_cast<LPARAM>(LoadResString(IDS_STICK_NEW).c_str()));
    SendMessageA(hwnd(), SEM_SHOWDELETE, 0, 0);
    record_ = -1;
}

void CStickEditDlg::LoadStick(const char* weekly, const char* code) {
    const AlarmCode a = DecodeAlarmCode(code ? code : "");
    const bool alarmOn = a.repeatKind != kRepeatNone;
    // A stored alarm keeps its start date valid even when that day has passed.
    keptStartDate_ = alarmOn ? a.startDate : 0;
    Check(IDC_STICK_ALARM_ON, alarmOn);
    Check(IDC_STICK_QUICK, false);  // the stored time is what is edited
    Enable(IDC_STICK_QUICK_DELAY, false);
    Enable(IDC_STICK_DATE, alarmOn);
    Enable(IDC_STICK_TIME, alarmOn);
    SetPickerDate(Item(IDC_STICK_DATE), a.year, a.month, a.day);
    // The time picker holds the alarm's day as well, so its day of the week
    // (field 7) is stored unchanged.
    SetPickerDate(Item(IDC_STICK_TIME), a.year, a.month, a.day);
    SYSTEMTIME time = PickerTime(Item(IDC_STICK_TIME));
    time.wHour = static_cast<WORD>(a.hour);
    time.wMinute = static_cast<WORD>(a.minute);
    SetPicker(Item(IDC_STICK_TIME), time);

    Enable(IDC_STICK_REPEAT, true);
    Check(IDC_STICK_REPEAT, true);
    Check(IDC_STICK_KIND1, a.repeatKind == kRepeatDaily);
    Check(IDC_STICK_KIND2, a.repeatKind == kRepeatWeekly);
    Check(IDC_STICK_KIND3, a.repeatKind == kRepeatThird);
    const bool known = a.repeatKind >= kRepeatDaily && a.repeatKind <= kRepeatThird;
    for (int id : {IDC_STICK_KIND1, IDC_STICK_KIND2, IDC_STICK_KIND3}) Enable(id, known);
    if (!known) {
        Check(IDC_STICK_REPEAT, false);
        Enable(IDC_STICK_REPEAT, false);
    }
    const bool weeklyKind = a.repeatKind == kRepeatWeekly;
    SetWeekdays(weeklyKind && weekly ? weekly : "0000000");
    Enable(IDC_STICK_WEEKDAYS, weeklyKind);

    SetPickerDate(Item(IDC_STICK_END_DATE), a.endDate / 10000, a.endDate % 10000 / 100, a.endDate % 100);
    Enable(IDC_STICK_UNTIL, true);
    Enable(IDC_STICK_END_DATE, true);
    Check(IDC_STICK_UNTIL, true);
}

void CStickEditDlg::UpdateWhenHint() {
    hint_ = ReadWhen(uikit::ItemText(hwnd(), IDC_STICK_TEXT), CurrentClock().Now(), UserDateOrder());
    HWND hint = Item(IDC_STICK_WHEN_HINT);
    if (!hint_.found) {
        ShowWindow(hint, SW_HIDE);
        return;
    }
    const std::string when = DescribeWhen(hint_, CurrentClock().Now(), false);
    SetWindowTextA(hint, FillIn(LoadResString(IDS_WHEN_HINT), when).c_str());
    ShowWindow(hint, SW_SHOWNA);
}

void CStickEditDlg::HideWhenHint() {
    hint_ = WhenFound{};
    ShowWindow(Item(IDC_STICK_WHEN_HINT), SW_HIDE);
}

void CStickEditDlg::ApplyWhenHint() {
    if (!hint_.found) return;
    const StickEditorState s = EditorStateForWhen(hint_, std::string());
    HideWhenHint();  // set: until the text changes again there is nothing more to offer

    Check(IDC_STICK_QUICK, false);
    Enable(IDC_STICK_QUICK_DELAY, false);
    Check(IDC_STICK_ALARM_ON, true);
    for (int id : {IDC_STICK_DATE, IDC_STICK_TIME, IDC_STICK_UNTIL, IDC_STICK_REPEAT}) Enable(id, true);
    SetPickerDate(Item(IDC_STICK_DATE), s.start.year, s.start.month, s.start.day);
    // The time picker holds the alarm's day too: its day of the week is stored.
    SetPickerDate(Item(IDC_STICK_TIME), s.start.year, s.start.month, s.start.day);
    SYSTEMTIME time = PickerTime(Item(IDC_STICK_TIME));
    time.wHour = static_cast<WORD>(s.hour);
    time.wMinute = static_cast<WORD>(s.minute);
    time.wSecond = 0;
    SetPicker(Item(IDC_STICK_TIME), time);

    Check(IDC_STICK_REPEAT, s.repeat);
    Check(IDC_STICK_KIND1, s.kind1);
    Check(IDC_STICK_KIND2, s.kind2);
    Check(IDC_STICK_KIND3, false);
    for (int id : {IDC_STICK_KIND1, IDC_STICK_KIND2, IDC_STICK_KIND3}) Enable(id, s.repeat);
    SetWeekdays(s.weekly.c_str());
    Enable(IDC_STICK_WEEKDAYS, s.kind2);
    Check(IDC_STICK_UNTIL, s.until);
    Enable(IDC_STICK_END_DATE, s.until);
    SetPickerDate(Item(IDC_STICK_END_DATE), s.end.year, s.end.month, s.end.day);
}

void CStickEditDlg::FillWeekdays() {
    HWND list = Item(IDC_STICK_WEEKDAYS);
    ListView_SetExtendedListViewStyle(list, LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
    RECT rc;
    GetClientRect(list, &rc);
    LVCOLUMNA column = {};
    column.mask = LVCF_WIDTH;
    column.cx = rc.right - rc.left - GetSystemMetrics(SM_CXVSCROLL);
    SendMessageA(list, LVM_INSERTCOLUMNA, 0, reinterpret_cast<LPARAM>(&column));
    for (int i = 0; i < 7; ++i) {
        std::string name = LoadResString(IDS_WEEKDAY_FIRST + static_cast<UINT>(i));
        LVITEMA item = {};
        item.mask = LVIF_TEXT;
        item.iItem = i;
        item.pszText = name.data();
        SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
    }
}

void CStickEditDlg::SetWeekdays(const char* text) {
    HWND list = Item(IDC_STICK_WEEKDAYS);
    bool ended = false;
    for (int i = 0; i < 7; ++i) {
        ended = ended || text[i] == '\0';
        ListView_SetCheckState(list, i, !ended && text[i] == '1');
    }
}

void CStickEditDlg::EnableAlarmControls(bool on) {
    for (int id : {IDC_STICK_DATE, IDC_STICK_TIME, IDC_STICK_KIND1, IDC_STICK_KIND2, IDC_STICK_KIND3,
                   IDC_STICK_END_DATE, IDC_STICK_WEEKDAYS})
        Enable(id, on);
    Enable(IDC_STICK_UNTIL, on);
}

void CStickEditDlg::CenterOnOwner() { uikit::CenterWindow(hwnd(), GetWindow(hwnd(), GW_OWNER)); }

std::string CStickEditDlg::SticksFolder() {
    const std::string folder = sticksFolderOf_ ? sticksFolderOf_() : std::string();
    if (!folder.empty()) {
        std::string dir = folder.substr(0, folder.size() - 1);
        CreateDirectoryA(dir.c_str(), nullptr);
    }
    return folder;
}

void CStickEditDlg::UpdateClock() {
    const LocalTime t = CurrentClock().Now();
    char clock[64];
    std::snprintf(clock, sizeof clock, "%d/%d/%d %d:%d:%d", t.month, t.day, t.year, t.hour, t.minute, t.second);
    SetDlgItemTextA(hwnd(), IDC_STICK_CLOCK, (LoadResString(IDS_CLOCK_PREFIX) + clock).c_str());
}

INT_PTR CStickEditDlg::ColourStatic(HDC dc, HWND control) {
    if (control == Item(IDC_STICK_CLOCK)) {
        SetTextColor(dc, kClockText);
        SetBkColor(dc, kClockBack);
        return reinterpret_cast<INT_PTR>(clockBrush_.get());
    }
    if (control == Item(IDC_STICK_CAPTION)) {
        SetTextColor(dc, RGB(0, 0, 0));
        SetBkColor(dc, kCaptionBack);
        return reinterpret_cast<INT_PTR>(captionBrush_.get());
    }
    return FALSE;
}

}  // namespace pinora
