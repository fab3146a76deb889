#include "NotesManager.h"

#include <commctrl.h>
#include <shellapi.h>

#include <cstdio>
#include <vector>

#include "DayFiles.h"
#include "DoRoRazIds.h"
#include "MessageBox.h"
#include "NoteSearch.h"
#include "NotesCheckList.h"
#include "ResourceLibrary.h"
#include "WindowPlacement.h"
#include "WindowText.h"

namespace pinora {
namespace {

constexpr const char* kTitle = "Notes Manager";
constexpr UINT_PTR kKeywordsSubclass = 0x4E4B;  // "NK"
constexpr int kKeywordsLimit = 255;

LocalTime FromSystemTime(const SYSTEMTIME& st) {
    LocalTime t;
    t.year = st.wYear;
    t.month = st.wMonth;
    t.day = st.wDay;
    t.dayOfWeek = st.wDayOfWeek;
    return t;
}

SYSTEMTIME ToSystemTime(const LocalTime& t) {
    SYSTEMTIME st = {};
    st.wYear = static_cast<WORD>(t.year);
    st.wMonth = static_cast<WORD>(t.month);
    st.wDay = static_cast<WORD>(t.day);
    st.wDayOfWeek = static_cast<WORD>(DayOfWeek(t.year, t.month, t.day));
    return st;
}

// Enter in the keyword box starts the search when the key comes up, instead of
// reaching the dialog as OK (which would hide it).
LRESULT CALLBACK KeywordsProc(HWND edit, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR) noexcept {
    switch (msg) {
    case WM_GETDLGCODE: {
        const auto* m = reinterpret_cast<const MSG*>(lp);
        if (m && (m->message == WM_KEYDOWN || m->message == WM_CHAR) && m->wParam == VK_RETURN)
            return DefSubclassProc(edit, msg, wp, lp) | DLGC_WANTALLKEYS;
        break;
    }
    case WM_KEYDOWN:
    case WM_CHAR:
        // Not passed on: the box would beep, or hand the key to the default button.
        if (wp == VK_RETURN) return 0;
        break;
    case WM_KEYUP:
        if (wp == VK_RETURN) {
            SendMessageA(GetParent(edit), WM_COMMAND, MAKEWPARAM(IDC_NOTES_SEARCH, BN_CLICKED),
                         reinterpret_cast<LPARAM>(GetDlgItem(GetParent(edit), IDC_NOTES_SEARCH)));
            return 0;
        }
        break;
    case WM_NCDESTROY:
        RemoveWindowSubclass(edit, KeywordsProc, kKeywordsSubclass);
        break;
    default:
        break;
    }
    return DefSubclassProc(edit, msg, wp, lp);
}

bool ShellOpen(HWND owner, const std::string& file, const char* parameters) {
    const auto result = reinterpret_cast<INT_PTR>(
        ShellExecuteA(owner, "open", file.c_str(), parameters, nullptr, SW_SHOWNORMAL));
    return result > 32;
}

// Replaces a note file with new content. The content goes to a file beside it
// first, so a write that fails leaves the old note as it was.
bool ReplaceNoteFile(const std::string& path, const std::string& bytes) {
    const std::string temp = path + ".saving";
    {
        uikit::UniqueFile file(
            CreateFileA(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file) return false;
        DWORD written = 0;
        if (!WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) ||
            written != bytes.size()) {
            file.reset();
            DeleteFileA(temp.c_str());
            return false;
        }
    }
    if (MoveFileExA(temp.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return true;
    DeleteFileA(temp.c_str());
    return false;
}

bool DeleteNoteFile(const std::string& path) {
    if (DeleteFileA(path.c_str())) return true;
    const DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

std::string WindowText(HWND window) {
    const int length = GetWindowTextLengthA(window);
    if (length <= 0) return {};
    std::string text(static_cast<size_t>(length) + 1, '\0');
    text.resize(static_cast<size_t>(GetWindowTextA(window, text.data(), length + 1)));
    return text;
}

class WaitCursor {
public:
    WaitCursor() : old_(SetCursor(LoadCursor(nullptr, IDC_WAIT))) {}
    ~WaitCursor() { SetCursor(old_); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;

private:
    HCURSOR old_;
};

}  // namespace

CNotesManagerDlg::CNotesManagerDlg() : startWord_(StartWordApplication), shellOpen_(ShellOpen) {}

HWND CNotesManagerDlg::CreateManager(HWND owner) {
    if (IsWindowAlive()) return hwnd();
    return Create(ResLib(), IDD_NOTES_MANAGER, owner);
}

void CNotesManagerDlg::SetDataFolder(const std::string& folder) {
    if (!IsWindowAlive() || !SaveOrDiscardEdits()) return;
    folder_ = folder;
    SelectToday();
}

void CNotesManagerDlg::ShowInFront() {
    if (!IsWindowAlive()) return;
    ShowWindow(hwnd(), SW_SHOW);
    SetForegroundWindow(hwnd());
    // Giving a control the focus also activates the window where bringing it to
    // the foreground alone did not (a window shown for the first time under Wine).
    SetFocus(Item(IDC_NOTES_LIST));
}

INT_PTR CNotesManagerDlg::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_INITDIALOG:
        return OnInitDialog();
    case WM_COMMAND:
        OnCommand(LOWORD(wp), HIWORD(wp), reinterpret_cast<HWND>(lp));
        return TRUE;
    case WM_NOTIFY:
        return OnNotify(*reinterpret_cast<const NMHDR*>(lp));
    case WM_DRAWITEM:
        OnDrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lp));
        return TRUE;
    case WM_CLOSE:
        Hide();
        return TRUE;
    case WM_DESTROY:
        tickBoxes_.reset();
        for (auto& arrow : arrows_) arrow.reset();
        return FALSE;
    default:
        return FALSE;
    }
}

BOOL CNotesManagerDlg::OnInitDialog() {
    HWND list = Item(IDC_NOTES_LIST);
    tickBoxes_.reset(static_cast<HBITMAP>(LoadImageA(ResLib(), MAKEINTRESOURCEA(IDB_NOTES_TICK), IMAGE_BITMAP, 0, 0, 0)));
    AttachCheckList(list, tickBoxes_.get());
    // Until a data folder is handed over, the list holds today's name only.
    SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(DiaryFileName(CurrentClock().Now()).c_str()));

    keywordsEdit_ = Item(IDC_NOTES_KEYWORDS);
    uikit::LimitTextBytes(keywordsEdit_, kKeywordsLimit);
    SetWindowSubclass(keywordsEdit_, KeywordsProc, kKeywordsSubclass, 0);
    SendMessageA(Item(IDC_NOTES_TEXT), EM_LIMITTEXT, 0, 0);  // as long as the system allows

    SetupButtons();
    EnableSave(false);

    // One month, so the visible range is that month.
    HWND calendar = Item(IDC_NOTES_CALENDAR);
    RECT need = {};
    if (MonthCal_GetMinReqRect(calendar, &need))
        SetWindowPos(calendar, nullptr, 0, 0, need.right - need.left, need.bottom - need.top,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    CenterOnOwner();
    return TRUE;
}

void CNotesManagerDlg::SetupButtons() {
    SetDlgItemTextA(hwnd(), IDC_NOTES_SAVE, LoadResString(IDS_NOTES_SAVE_BUTTON).c_str());
    SetDlgItemTextA(hwnd(), IDC_NOTES_EXPORT, LoadResString(IDS_NOTES_EXPORT_BUTTON).c_str());
    const struct {
        int control, bitmap;
        UINT text;
    } moves[4] = {{IDC_NOTES_UP, IDB_NOTES_UP, IDS_NOTES_UP_BUTTON},
                  {IDC_NOTES_DOWN, IDB_NOTES_DOWN, IDS_NOTES_DOWN_BUTTON},
                  {IDC_NOTES_TOP, IDB_NOTES_TOP, IDS_NOTES_TOP_BUTTON},
                  {IDC_NOTES_BOTTOM, IDB_NOTES_BOTTOM, IDS_NOTES_BOTTOM_BUTTON}};
    for (int i = 0; i < 4; ++i) {
        arrows_[i].reset(static_cast<HBITMAP>(
            LoadImageA(ResLib(), MAKEINTRESOURCEA(moves[i].bitmap), IMAGE_BITMAP, 0, 0, 0)));
        SetDlgItemTextA(hwnd(), moves[i].control, LoadResString(moves[i].text).c_str());
    }
}

void CNotesManagerDlg::OnDrawItem(const DRAWITEMSTRUCT& item) {
    switch (item.CtlID) {
    case IDC_NOTES_LIST: DrawCheckListItem(item, tickBoxes_.get()); break;
    case IDC_NOTES_UP: DrawPictureButton(item, arrows_[0].get()); break;
    case IDC_NOTES_DOWN: DrawPictureButton(item, arrows_[1].get()); break;
    case IDC_NOTES_TOP: DrawPictureButton(item, arrows_[2].get()); break;
    case IDC_NOTES_BOTTOM: DrawPictureButton(item, arrows_[3].get()); break;
    default: break;
    }
}

void CNotesManagerDlg::OnCommand(UINT id, UINT code, HWND control) {
    if (id == IDC_NOTES_TEXT) {
        // Only the user's typing counts as an edit, not the text put in to show a note.
        if (code == EN_CHANGE && !settingText_) {
            dirty_ = true;
            EnableSave(true);
        }
        return;
    }
    if (id == IDC_NOTES_LIST) {
        if (code == LBN_SELCHANGE) OnSelectionChange();
        if (code == LBN_DBLCLK) OnDoubleClick();
        return;
    }
    // Buttons; OK and Cancel also come from Enter and Escape (code 0 or no control).
    if (control && code != BN_CLICKED) return;
    switch (id) {
    case IDOK:
    case IDCANCEL: Hide(); break;
    case IDC_NOTES_SAVE: SaveNote(); break;
    case IDC_NOTES_EXPORT: Export(); break;
    case IDC_NOTES_UP: Move(MoveKind::Up); break;
    case IDC_NOTES_DOWN: Move(MoveKind::Down); break;
    case IDC_NOTES_TOP: Move(MoveKind::Top); break;
    case IDC_NOTES_BOTTOM: Move(MoveKind::Bottom); break;
    case IDC_NOTES_TODAY: SelectToday(); break;
    case IDC_NOTES_SEARCH: Search(); break;
    default: break;
    }
}

INT_PTR CNotesManagerDlg::OnNotify(const NMHDR& header) {
    if (selecting_) return FALSE;
    if (header.idFrom == IDC_NOTES_DATE && header.code == DTN_DATETIMECHANGE) {
        const auto& change = reinterpret_cast<const NMDATETIMECHANGE&>(header);
        if (change.dwFlags != GDT_VALID) return FALSE;
        if (!SaveOrDiscardEdits()) return FALSE;
        const LocalTime date = FromSystemTime(change.st);
        SetPickers(date, false, true);
        SelectDate(date);
    } else if (header.idFrom == IDC_NOTES_CALENDAR && header.code == MCN_SELECT) {
        // A day clicked in the calendar is chosen as if in the date box.
        const auto& select = reinterpret_cast<const NMSELCHANGE&>(header);
        if (!SaveOrDiscardEdits()) return FALSE;
        const LocalTime date = FromSystemTime(select.stSelStart);
        SetPickers(date, true, false);
        SelectDate(date);
    }
    return FALSE;
}

void CNotesManagerDlg::SelectToday() {
    if (!SaveOrDiscardEdits()) return;
    LocalTime today = CurrentClock().Now();
    today.dayOfWeek = DayOfWeek(today.year, today.month, today.day);
    SetPickers(today, true, true);
    SelectDate(today);
}

void CNotesManagerDlg::SetPickers(const LocalTime& date, bool picker, bool calendar) {
    selecting_ = true;
    SYSTEMTIME st = ToSystemTime(date);
    if (picker) DateTime_SetSystemtime(Item(IDC_NOTES_DATE), GDT_VALID, &st);
    if (calendar) MonthCal_SetCurSel(Item(IDC_NOTES_CALENDAR), &st);
    selecting_ = false;
}

void CNotesManagerDlg::SelectDate(const LocalTime& date) {
    selecting_ = true;
    SetCaption(kTitle);
    const std::string name = folder_.empty() ? std::string() : DiaryFileName(date);
    FillMonth();
    HWND list = Item(IDC_NOTES_LIST);
    const LRESULT index =
        name.empty() ? LB_ERR : SendMessageA(list, LB_FINDSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(name.c_str()));
    SendMessageA(list, LB_SETCURSEL, index == LB_ERR ? static_cast<WPARAM>(-1) : static_cast<WPARAM>(index), 0);
    ShowNote(name);
    const int count = EntryCount();
    for (int i = 0; i < count; ++i) SetTicked(list, i, i == index);
    selecting_ = false;
    std::string trace = "Pinora: notes manager shows " + (name.empty() ? std::string("nothing") : name) + "\n";
    OutputDebugStringA(trace.c_str());
}

void CNotesManagerDlg::FillMonth() {
    SYSTEMTIME picked = {};
    if (DateTime_GetSystemtime(Item(IDC_NOTES_DATE), &picked) != GDT_VALID) picked = ToSystemTime(CurrentClock().Now());
    SYSTEMTIME range[2] = {};
    MonthCal_GetMonthRange(Item(IDC_NOTES_CALENDAR), GMR_VISIBLE, range);
    const std::vector<std::string> entries =
        MonthEntries({range[0].wYear, range[0].wMonth, range[0].wDay}, {range[1].wYear, range[1].wMonth, range[1].wDay},
                     FromSystemTime(picked));
    HWND list = Item(IDC_NOTES_LIST);
    SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    SendMessageA(list, LB_RESETCONTENT, 0, 0);
    for (const std::string& entry : entries)
        SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry.c_str()));
    SendMessageA(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
}

void CNotesManagerDlg::ShowNote(const std::string& name) {
    shownName_ = name;
    std::string bytes;
    if (!name.empty() && ReadNoteFile(NotePath(name).c_str(), bytes) && !bytes.empty())
        SetNoteText(NoteTextOf(bytes));
    else
        SetNoteText("");
    EnableWindow(Item(IDC_NOTES_TEXT), TRUE);
}

void CNotesManagerDlg::SetNoteText(const std::string& text) {
    settingText_ = true;
    SetDlgItemTextA(hwnd(), IDC_NOTES_TEXT, text.c_str());
    settingText_ = false;
    dirty_ = false;
    EnableSave(false);
}

void CNotesManagerDlg::EnableSave(bool on) { EnableWindow(Item(IDC_NOTES_SAVE), on); }

void CNotesManagerDlg::OnSelectionChange() {
    const int index = Selection();
    if (index < 0) return;
    const std::string name = EntryFileName(Entry(index));
    if (name == shownName_) return;
    if (!SaveOrDiscardEdits()) {
        SelectShownEntry();
        return;
    }
    ShowNote(name);
}

void CNotesManagerDlg::SelectShownEntry() {
    const int count = EntryCount();
    for (int i = 0; i < count; ++i) {
        if (EntryFileName(Entry(i)) == shownName_) {
            SendMessageA(Item(IDC_NOTES_LIST), LB_SETCURSEL, static_cast<WPARAM>(i), 0);
            return;
        }
    }
}

void CNotesManagerDlg::OnDoubleClick() {
    const int index = Selection();
    if (index < 0 || folder_.empty()) return;
    const std::string path = NotePath(EntryFileName(Entry(index)));
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) return;
    shellOpen_(hwnd(), path, "Notepad.exe");
}

bool CNotesManagerDlg::SaveNote() {
    if (shownName_.empty() || folder_.empty()) return false;
    const std::string path = NotePath(shownName_);
    const std::string text = WindowText(Item(IDC_NOTES_TEXT));
    if (text.empty()) {
        // An emptied note is a deleted day file.
        if (!DeleteNoteFile(path)) {
            ShowMessage(IDS_NOTES_DELETE_FAILED, MB_ICONWARNING, path);
            return false;
        }
    } else if (!ReplaceNoteFile(path, NoteFileBytesFor(text))) {
        ShowMessage(IDS_NOTES_SAVE_FAILED, MB_ICONWARNING, path);
        return false;
    }
    dirty_ = false;
    EnableSave(false);
    ShowMessage(IDS_NOTES_SAVED, MB_ICONINFORMATION);
    return true;
}

bool CNotesManagerDlg::SaveOrDiscardEdits() {
    if (!dirty_ || !IsWindowAlive()) return true;
    if (shownName_.empty()) {
        dirty_ = false;
        return true;
    }
    const std::string question = LoadResString(IDS_NOTES_ASK_SAVE, 512) + "\n\n" + shownName_;
    const int answer = uikit::ShowMessageBox(hwnd(), question.c_str(), LoadResString(IDS_CAPTION).c_str(),
                                             MB_YESNO | MB_ICONQUESTION);
    if (answer == IDYES) return SaveNote();
    dirty_ = false;
    EnableSave(false);
    return true;
}

void CNotesManagerDlg::Move(MoveKind kind) {
    HWND list = Item(IDC_NOTES_LIST);
    const int from = Selection();
    const int to = MoveTarget(from, kind, EntryCount());
    if (to < 0) return;
    const std::string text = Entry(from);
    const bool ticked = EntryTicked(from);
    SendMessageA(list, LB_DELETESTRING, static_cast<WPARAM>(from), 0);
    SendMessageA(list, LB_INSERTSTRING, static_cast<WPARAM>(to), reinterpret_cast<LPARAM>(text.c_str()));
    SetTicked(list, to, ticked);
    SendMessageA(list, LB_SETCURSEL, static_cast<WPARAM>(to), 0);
}

void CNotesManagerDlg::Search() {
    const std::string keywords = uikit::ItemText(hwnd(), IDC_NOTES_KEYWORDS, kKeywordsLimit);
    if (keywords.empty()) {
        SetCaption(std::string(kTitle) + ":Please input the key words!!");
        SetFocus(keywordsEdit_);
        return;
    }
    if (!SaveOrDiscardEdits()) return;

    WaitCursor wait;
    HWND list = Item(IDC_NOTES_LIST);
    SendMessageA(list, LB_RESETCONTENT, 0, 0);
    int found = 0;
    if (!folder_.empty()) {
        WIN32_FIND_DATAA data;
        uikit::UniqueFind find(FindFirstFileA((folder_ + "*.txt").c_str(), &data));
        if (find) {
            do {
                if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
                if (!NoteContainsKeywords(NotePath(data.cFileName).c_str(), keywords.c_str())) continue;
                SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(data.cFileName));
                ++found;
            } while (FindNextFileA(find.get(), &data));
        }
    }
    char caption[128];
    std::snprintf(caption, sizeof caption, "%s:Find %d Notes", kTitle, found);
    SetCaption(caption);
    shownName_.clear();
    SetNoteText("");
    EnableWindow(Item(IDC_NOTES_TEXT), FALSE);
    std::snprintf(caption, sizeof caption, "Pinora: notes search found %d\n", found);
    OutputDebugStringA(caption);
}

void CNotesManagerDlg::Export() {
    HWND list = Item(IDC_NOTES_LIST);
    std::vector<ExportEntry> entries;
    const int count = EntryCount();
    for (int i = 0; i < count; ++i)
        if (IsTicked(list, i)) entries.push_back({NotePath(EntryFileName(Entry(i)))});
    if (entries.empty()) {
        ShowMessage(IDS_NOTES_NONE_TICKED, MB_ICONINFORMATION);
        return;
    }
    WaitCursor wait;
    if (ExportToWord(startWord_, entries)) {
        OutputDebugStringA("Pinora: notes exported to Word\n");
        return;
    }
    // No word processor to drive: the same document as RTF, opened by the shell.
    const std::string document = folder_.empty() ? std::string() : ExportToRtfFile(folder_, entries);
    if (document.empty()) {
        ShowMessage(IDS_NOTES_EXPORT_FAILED, MB_ICONWARNING, folder_);
        return;
    }
    const std::string trace = "Pinora: notes exported to " + document + "\n";
    OutputDebugStringA(trace.c_str());
    if (!shellOpen_(hwnd(), document, nullptr)) ShowMessage(IDS_NOTES_EXPORT_NOT_OPENED, MB_ICONINFORMATION, document);
}

void CNotesManagerDlg::Hide() { ShowWindow(hwnd(), SW_HIDE); }

void CNotesManagerDlg::ShowMessage(UINT textId, UINT icon, const std::string& detail) {
    std::string text = LoadResString(textId, 512);
    if (!detail.empty()) text += "\n\n" + detail;
    uikit::ShowMessageBox(hwnd(), text.c_str(), LoadResString(IDS_CAPTION).c_str(), MB_OK | icon);
}

void CNotesManagerDlg::CenterOnOwner() { uikit::CenterWindow(hwnd(), GetWindow(hwnd(), GW_OWNER)); }

int CNotesManagerDlg::EntryCount() const {
    const LRESULT n = SendMessageA(Item(IDC_NOTES_LIST), LB_GETCOUNT, 0, 0);
    return n == LB_ERR ? 0 : static_cast<int>(n);
}

std::string CNotesManagerDlg::Entry(int index) const { return ItemText(Item(IDC_NOTES_LIST), index); }

bool CNotesManagerDlg::EntryTicked(int index) const { return IsTicked(Item(IDC_NOTES_LIST), index); }

void CNotesManagerDlg::TickEntry(int index, bool ticked) { SetTicked(Item(IDC_NOTES_LIST), index, ticked); }

int CNotesManagerDlg::Selection() const {
    const LRESULT n = SendMessageA(Item(IDC_NOTES_LIST), LB_GETCURSEL, 0, 0);
    return n == LB_ERR ? -1 : static_cast<int>(n);
}

}  // namespace pinora
