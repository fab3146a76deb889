// The notes manager in-process under the injected clock (Tuesday 9 September
// 2008): listing a month, moving, saving, searching and exporting, through the
// dialog's own controls and the files it writes.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "DoRoRazIds.h"
#include "NotesManager.h"
#include "ResourceLibrary.h"
#include "WinTestSupport.h"

namespace pinora {
namespace {

using test::FileExists;
using test::ReadFileBytes;
using test::WriteFileBytes;

// A stand-in for Word's automation objects: each object answers every name with
// a number, records what was invoked on it, and hands out child objects for gets.
struct Call {
    std::string object, name;
    WORD kind;
    std::string argument;  // VT_I4 as its number, VT_BSTR as ANSI text
};

class FakeDispatch : public IDispatch {
public:
    FakeDispatch(std::string name, std::vector<Call>* log) : name_(std::move(name)), log_(log) {}
    virtual ~FakeDispatch() = default;
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
        if (riid == IID_IUnknown || riid == IID_IDispatch) {
            *out = static_cast<IDispatch*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG left = --refs_;
        if (left == 0) delete this;
        return left;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* n) override {
        *n = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT, LCID, DISPID* ids) override {
        char name[64] = {};
        WideCharToMultiByte(CP_ACP, 0, names[0], -1, name, sizeof name, nullptr, nullptr);
        auto it = ids_.find(name);
        if (it == ids_.end()) it = ids_.emplace(name, static_cast<DISPID>(ids_.size() + 1)).first;
        ids[0] = it->second;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD kind, DISPPARAMS* params, VARIANT* result,
                                     EXCEPINFO*, UINT*) override {
        std::string name;
        for (const auto& [n, i] : ids_)
            if (i == id) name = n;
        Call call{name_, name, kind, ""};
        if (params && params->cArgs == 1) {
            const VARIANT& v = params->rgvarg[0];
            if (v.vt == VT_I4) call.argument = std::to_string(v.lVal);
            if (v.vt == VT_BSTR) {
                char text[512] = {};
                WideCharToMultiByte(CP_ACP, 0, v.bstrVal, -1, text, sizeof text, nullptr, nullptr);
                call.argument = text;
            }
            if (kind == DISPATCH_PROPERTYPUT && (params->cNamedArgs != 1 || params->rgdispidNamedArgs[0] != DISPID_PROPERTYPUT))
                call.argument += " (not a named put)";
        }
        log_->push_back(call);
        if (kind == DISPATCH_PROPERTYGET && result) {
            VariantInit(result);
            result->vt = VT_DISPATCH;
            result->pdispVal = new FakeDispatch(name, log_);
        }
        return S_OK;
    }
    ULONG refs_ = 1;

private:
    std::string name_;
    std::vector<Call>* log_;
    std::map<std::string, DISPID> ids_;
};

class NotesManagerTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetClock(&clock);
        data = folder.Path() + "data\\";
        CreateDirectoryA(data.c_str(), nullptr);
        owner = CreateWindowExA(0, "STATIC", "owner", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
        manager.SetWordStarter([] { return static_cast<IDispatch*>(nullptr); });
        manager.SetShellOpener([this](HWND, const std::string& file, const char* parameters) {
            opened.push_back(file + "|" + (parameters ? parameters : ""));
            return true;
        });
        ASSERT_NE(manager.CreateManager(owner), nullptr);
        test::g_messageBoxCount = 0;
        test::g_lastMessageBoxText.clear();
    }
    void TearDown() override {
        manager.Destroy();
        DestroyWindow(owner);
        SetClock(nullptr);
    }

    HWND Dlg() { return manager.hwnd(); }
    void Open() { manager.SetDataFolder(data); }
    void Click(int id) {
        SendMessageA(Dlg(), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(Dlg(), id)));
    }
    // What a click on a list entry does: the selection moves and the dialog is told.
    void Pick(int index) {
        HWND list = GetDlgItem(Dlg(), IDC_NOTES_LIST);
        SendMessageA(list, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
        SendMessageA(Dlg(), WM_COMMAND, MAKEWPARAM(IDC_NOTES_LIST, LBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
    }
    // Typing in the note box: the text changes and the box says so (a multi-line
    // box does not tell of text set from outside).
    void Type(const std::string& text) {
        HWND box = GetDlgItem(Dlg(), IDC_NOTES_TEXT);
        SetWindowTextA(box, text.c_str());
        SendMessageA(Dlg(), WM_COMMAND, MAKEWPARAM(IDC_NOTES_TEXT, EN_CHANGE), reinterpret_cast<LPARAM>(box));
    }
    std::string Text(int id) {
        char buf[1024] = {};
        GetDlgItemTextA(Dlg(), id, buf, sizeof buf);
        return buf;
    }
    std::string Caption() {
        char buf[256] = {};
        GetWindowTextA(Dlg(), buf, sizeof buf);
        return buf;
    }
    bool Enabled(int id) { return IsWindowEnabled(GetDlgItem(Dlg(), id)) != FALSE; }
    std::vector<std::string> Entries() {
        std::vector<std::string> v;
        for (int i = 0; i < manager.EntryCount(); ++i) v.push_back(manager.Entry(i));
        return v;
    }
    std::vector<int> Ticked() {
        std::vector<int> v;
        for (int i = 0; i < manager.EntryCount(); ++i)
            if (manager.EntryTicked(i)) v.push_back(i);
        return v;
    }
    void Note(const std::string& name, const std::string& bytes) { WriteFileBytes(data + name, bytes); }

    test::ProgramFolderFixture folder;
    ManualClock clock{LocalTime{2008, 9, 9, 10, 30, 15, 2}};
    std::string data;
    HWND owner = nullptr;
    CNotesManagerDlg manager;
    std::vector<std::string> opened;
};

TEST_F(NotesManagerTest, OpeningListsTheMonthWithWeekendsAndShowsTodaysNote) {
    EXPECT_EQ(Entries(), std::vector<std::string>{"2008-09-09.txt"});  // before the folder is handed over
    EXPECT_FALSE(Enabled(IDC_NOTES_SAVE));
    Note("2008-09-09.txt", std::string("Tuesday's note\r\n\0after the NUL", 30));
    Open();

    auto entries = Entries();
    ASSERT_EQ(entries.size(), 30u);
    EXPECT_EQ(entries[0], "2008-09-01.txt");
    EXPECT_EQ(entries[5], "2008-09-06.txt:Saturday");
    EXPECT_EQ(entries[6], "2008-09-07.txt:Sunday");
    EXPECT_EQ(entries[27], "2008-09-28.txt:Sunday");
    EXPECT_EQ(entries[29], "2008-09-30.txt");
    EXPECT_EQ(manager.Selection(), 8);
    EXPECT_EQ(Ticked(), std::vector<int>{8});
    EXPECT_EQ(Text(IDC_NOTES_TEXT), "Tuesday's note\r\n");
    EXPECT_FALSE(Enabled(IDC_NOTES_SAVE));
    EXPECT_EQ(Caption(), "Notes Manager");
    EXPECT_EQ(Text(IDC_NOTES_SAVE), LoadResString(IDS_NOTES_SAVE_BUTTON));
    EXPECT_EQ(Text(IDC_NOTES_UP), LoadResString(IDS_NOTES_UP_BUTTON));

    // Another date in the picker: that month, that day, its note.
    Note("2009-02-01.txt", "February");
    // Given a wrong weekday, the picker still reports the date's own (a Sunday).
    SYSTEMTIME st = {2009, 2, 3, 1, 0, 0, 0, 0};
    NMDATETIMECHANGE change = {};
    change.nmhdr.hwndFrom = GetDlgItem(Dlg(), IDC_NOTES_DATE);
    change.nmhdr.idFrom = IDC_NOTES_DATE;
    change.nmhdr.code = DTN_DATETIMECHANGE;
    change.dwFlags = GDT_VALID;
    change.st = st;
    DateTime_SetSystemtime(change.nmhdr.hwndFrom, GDT_VALID, &st);
    SendMessageA(Dlg(), WM_NOTIFY, IDC_NOTES_DATE, reinterpret_cast<LPARAM>(&change));
    entries = Entries();
    ASSERT_EQ(entries.size(), 28u);
    EXPECT_EQ(entries[0], "2009-02-01.txt:Sunday");
    EXPECT_EQ(entries[27], "2009-02-28.txt:Saturday");
    EXPECT_EQ(manager.Selection(), 0);
    EXPECT_EQ(Text(IDC_NOTES_TEXT), "February");

    Click(IDC_NOTES_TODAY);
    EXPECT_EQ(manager.Selection(), 8);
    EXPECT_EQ(Entries().size(), 30u);
}

TEST_F(NotesManagerTest, MovesStopAtTheEndsAndCarryTheTick) {
    Open();
    const auto before = Entries();
    Pick(0);
    Click(IDC_NOTES_UP);
    Pick(29);
    Click(IDC_NOTES_DOWN);
    Click(IDC_NOTES_BOTTOM);
    EXPECT_EQ(Entries(), before);
    EXPECT_EQ(manager.Selection(), 29);

    Pick(8);  // today, ticked
    Click(IDC_NOTES_TOP);
    EXPECT_EQ(manager.Entry(0), "2008-09-09.txt");
    EXPECT_EQ(manager.Entry(1), "2008-09-01.txt");
    EXPECT_EQ(Ticked(), std::vector<int>{0});
    EXPECT_EQ(manager.Selection(), 0);
    Click(IDC_NOTES_DOWN);
    EXPECT_EQ(manager.Entry(1), "2008-09-09.txt");
    EXPECT_EQ(Ticked(), std::vector<int>{1});
    Click(IDC_NOTES_BOTTOM);
    EXPECT_EQ(manager.Entry(29), "2008-09-09.txt");
    EXPECT_EQ(Ticked(), std::vector<int>{29});
    Click(IDC_NOTES_UP);
    EXPECT_EQ(manager.Entry(28), "2008-09-09.txt");
    EXPECT_EQ(manager.Selection(), 28);
}

TEST_F(NotesManagerTest, SaveRewritesTheNoteWithOneLineEndAndAnEmptyTextDeletesIt) {
    Note("2008-09-09.txt", "old\r\n");
    Open();
    Type("new text");
    EXPECT_TRUE(Enabled(IDC_NOTES_SAVE));
    Click(IDC_NOTES_SAVE);
    EXPECT_EQ(ReadFileBytes(data + "2008-09-09.txt"), "new text\r\n");
    EXPECT_EQ(test::g_lastMessageBoxText, LoadResString(IDS_NOTES_SAVED));
    EXPECT_FALSE(Enabled(IDC_NOTES_SAVE));
    // What was saved and shown again saves to the same bytes.
    Pick(0);
    Pick(8);
    Type(Text(IDC_NOTES_TEXT));
    Click(IDC_NOTES_SAVE);
    EXPECT_EQ(ReadFileBytes(data + "2008-09-09.txt"), "new text\r\n");

    test::g_messageBoxCount = 0;
    Type("");
    Click(IDC_NOTES_SAVE);
    EXPECT_FALSE(FileExists(data + "2008-09-09.txt"));
    EXPECT_EQ(test::g_messageBoxCount, 1);
    EXPECT_EQ(test::g_lastMessageBoxText, LoadResString(IDS_NOTES_SAVED));
    EXPECT_FALSE(FileExists(data + "2008-09-09.txt.saving"));
}

TEST_F(NotesManagerTest, ASaveThatFailsSaysSoAndLosesNeitherFileNorText) {
    Note("2008-09-09.txt", "the old note\r\n");
    Open();
    Type("edited");
    {
        // Another program holds the file and lets nobody else near it.
        uikit::UniqueFile held(CreateFileA((data + "2008-09-09.txt").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                           FILE_ATTRIBUTE_NORMAL, nullptr));
        ASSERT_TRUE(held);
        Click(IDC_NOTES_SAVE);
        EXPECT_EQ(test::g_lastMessageBoxText.rfind(LoadResString(IDS_NOTES_SAVE_FAILED, 512), 0), 0u);
        EXPECT_EQ(Text(IDC_NOTES_TEXT), "edited");
        EXPECT_TRUE(Enabled(IDC_NOTES_SAVE));
        Type("");
        Click(IDC_NOTES_SAVE);
        EXPECT_EQ(test::g_lastMessageBoxText.rfind(LoadResString(IDS_NOTES_DELETE_FAILED, 512), 0), 0u);
    }
    EXPECT_EQ(ReadFileBytes(data + "2008-09-09.txt"), "the old note\r\n");
    EXPECT_FALSE(FileExists(data + "2008-09-09.txt.saving"));
    Type("edited");
    Click(IDC_NOTES_SAVE);
    EXPECT_EQ(ReadFileBytes(data + "2008-09-09.txt"), "edited\r\n");
}

TEST_F(NotesManagerTest, EditsAreOfferedForSavingBeforeAnotherNoteIsShown) {
    Note("2008-09-09.txt", "today\r\n");
    Note("2008-09-01.txt", "the first\r\n");
    Open();
    Type("today, edited");
    Pick(0);  // the test's message box answers Yes
    EXPECT_EQ(test::g_messageBoxCount, 2);  // the question, then "saved"
    EXPECT_EQ(ReadFileBytes(data + "2008-09-09.txt"), "today, edited\r\n");
    EXPECT_EQ(Text(IDC_NOTES_TEXT), "the first\r\n");
    EXPECT_EQ(manager.ShownFile(), "2008-09-01.txt");

    // Showing a note is no edit: nothing is asked when moving on.
    test::g_messageBoxCount = 0;
    Pick(8);
    Click(IDC_NOTES_TODAY);
    EXPECT_EQ(test::g_messageBoxCount, 0);
    EXPECT_FALSE(manager.HasUnsavedEdits());
}

TEST_F(NotesManagerTest, SearchFindsNotesInFolderOrderAndAResultSavesUnderItsName) {
    Note("2008-09-01.txt", "Lunch with Anna\r\n");
    Note("2007-01-02.txt", "anna again\r\n");
    Note("2008-09-03.txt", "nobody\r\n");
    Note("2008-09-04.txt", std::string("hidden\0Anna", 11));
    Note("notes.txt", "ANNA in a file of another name");
    Note("anna.rtf", "anna, but not a text file");
    Open();

    Click(IDC_NOTES_SEARCH);
    EXPECT_EQ(Caption(), "Notes Manager:Please input the key words!!");
    EXPECT_EQ(Entries().size(), 30u);

    // Enter in the keyword box searches (when the key comes up) and is no OK
    // that would hide the window.
    manager.ShowInFront();
    HWND keywords = GetDlgItem(Dlg(), IDC_NOTES_KEYWORDS);
    SetWindowTextA(keywords, "anna");
    SetFocus(keywords);
    PostMessageA(keywords, WM_KEYDOWN, VK_RETURN, 0x001C0001);
    PostMessageA(keywords, WM_CHAR, '\r', 0x001C0001);
    PostMessageA(keywords, WM_KEYUP, VK_RETURN, 0xC01C0001);
    ASSERT_TRUE(uikit::PumpPendingMessages());
    EXPECT_TRUE(IsWindowVisible(Dlg()));
    EXPECT_EQ(Caption(), "Notes Manager:Find 3 Notes");
    std::vector<std::string> expected;
    WIN32_FIND_DATAA fd;
    HANDLE find = FindFirstFileA((data + "*.txt").c_str(), &fd);
    do {
        std::string name = fd.cFileName;
        if (name == "2008-09-01.txt" || name == "2007-01-02.txt" || name == "notes.txt") expected.push_back(name);
    } while (FindNextFileA(find, &fd));
    FindClose(find);
    EXPECT_EQ(Entries(), expected);
    EXPECT_TRUE(Ticked().empty());
    EXPECT_EQ(Text(IDC_NOTES_TEXT), "");
    EXPECT_FALSE(Enabled(IDC_NOTES_TEXT));

    int index = 0;
    while (manager.Entry(index) != "2007-01-02.txt") ++index;
    Pick(index);
    EXPECT_EQ(Text(IDC_NOTES_TEXT), "anna again\r\n");
    EXPECT_TRUE(Enabled(IDC_NOTES_TEXT));
    Type("anna again, and more");
    Click(IDC_NOTES_SAVE);
    EXPECT_EQ(ReadFileBytes(data + "2007-01-02.txt"), "anna again, and more\r\n");
    EXPECT_EQ(Caption(), "Notes Manager:Find 3 Notes");

    SetDlgItemTextA(Dlg(), IDC_NOTES_KEYWORDS, "with anna again");
    Click(IDC_NOTES_SEARCH);
    EXPECT_EQ(Caption(), "Notes Manager:Find 0 Notes");
}

// Case aside in every script: the keywords typed in small Cyrillic letters
// find the note that begins its word with a capital.
TEST_F(NotesManagerTest, SearchFoldsCaseInEveryScript) {
    Note("2008-09-01.txt", "Привет, Анна! Café ☕\r\n");
    Note("2008-09-02.txt", "Пока\r\n");
    Open();
    SetDlgItemTextA(Dlg(), IDC_NOTES_KEYWORDS, "привет, анна");
    Click(IDC_NOTES_SEARCH);
    EXPECT_EQ(Caption(), "Notes Manager:Find 1 Notes");
    EXPECT_EQ(Entries(), std::vector<std::string>{"2008-09-01.txt"});
    SetDlgItemTextA(Dlg(), IDC_NOTES_KEYWORDS, "CAFÉ");
    Click(IDC_NOTES_SEARCH);
    EXPECT_EQ(Entries(), std::vector<std::string>{"2008-09-01.txt"});
}

class NotesExportTest : public NotesManagerTest {
protected:
    // Ticks the 1st, 2nd and 3rd of September; the 2nd has no file.
    void TickThree() {
        Note("2008-09-01.txt", "First {note} \xC3\xA9t\xC3\xA9\r\n");  // UTF-8, as the program writes
        Note("2008-09-03.txt", "Third note\r\n");
        Open();
        manager.TickEntry(8, false);
        for (int i = 0; i < 3; ++i) manager.TickEntry(i, true);
    }
};

TEST_F(NotesExportTest, WithoutWordTheTickedNotesGoToAnRtfDocumentTheShellOpens) {
    TickThree();
    Click(IDC_NOTES_EXPORT);
    ASSERT_EQ(opened.size(), 1u);
    const std::string document = data + "Notes export 2008-09-09 10.30.15.rtf";
    EXPECT_EQ(opened[0], document + "|");
    const std::string rtf = ReadFileBytes(document);
    const std::string missing = "No notes today:" + data + "2008-09-02.txt";
    std::string escaped;
    for (char c : missing) escaped += c == '\\' ? std::string("\\\\") : std::string(1, c);
    const size_t first = rtf.find("First \\{note\\} \\u233?t\\u233?\\par");
    const size_t italic = rtf.find("\\i ");
    const size_t line = rtf.find(escaped + "\\par");
    const size_t third = rtf.find("Third note\\par");
    ASSERT_NE(first, std::string::npos) << rtf;
    ASSERT_NE(line, std::string::npos) << rtf;
    ASSERT_NE(third, std::string::npos) << rtf;
    EXPECT_TRUE(first < italic && italic < line && line < third) << rtf;
    EXPECT_EQ(rtf.find("\\i0"), std::string::npos);  // italics stay on for the third note

    // A second export never overwrites the first document.
    Click(IDC_NOTES_EXPORT);
    ASSERT_EQ(opened.size(), 2u);
    EXPECT_EQ(opened[1], data + "Notes export 2008-09-09 10.30.15 (2).rtf|");
    EXPECT_EQ(ReadFileBytes(data + "Notes export 2008-09-09 10.30.15 (2).rtf"), rtf);
}

TEST_F(NotesExportTest, WordIsDrivenByNameInListOrder) {
    std::vector<Call> calls;
    manager.SetWordStarter([&calls] { return static_cast<IDispatch*>(new FakeDispatch("Application", &calls)); });
    TickThree();
    Pick(0);
    Click(IDC_NOTES_DOWN);    // list order: 2nd, 1st, 3rd
    Click(IDC_NOTES_EXPORT);

    const std::string missing = "No notes today:" + data + "2008-09-02.txt\r\n";
    const std::vector<std::string> expected = {
        "Application put Visible 1",
        "Application get Documents ",
        "Documents call Add ",
        "Application get ActiveDocument ",
        "Application get Selection ",
        "Selection get Font ",
        "Font put Italic 1",
        "Selection call TypeText " + missing,
        "Selection call TypeText First {note} \xC3\xA9t\xC3\xA9\r\n",
        "Selection call TypeText Third note\r\n",
    };
    std::vector<std::string> seen;
    for (const Call& c : calls) {
        const char* kind = c.kind == DISPATCH_METHOD ? "call" : c.kind == DISPATCH_PROPERTYGET ? "get" : "put";
        seen.push_back(c.object + " " + kind + " " + c.name + " " + c.argument);
    }
    EXPECT_EQ(seen, expected);
    EXPECT_TRUE(opened.empty());
    EXPECT_FALSE(FileExists(data + "Notes export 2008-09-09 10.30.15.rtf"));
}

TEST_F(NotesExportTest, NothingTickedIsSaidAndNothingIsWritten) {
    Open();
    manager.TickEntry(8, false);
    Click(IDC_NOTES_EXPORT);
    EXPECT_EQ(test::g_lastMessageBoxText, LoadResString(IDS_NOTES_NONE_TICKED));
    EXPECT_TRUE(opened.empty());
}

TEST_F(NotesManagerTest, DoubleClickOpensAnExistingNoteWithNotepad) {
    Note("2008-09-09.txt", "x");
    Open();
    HWND list = GetDlgItem(Dlg(), IDC_NOTES_LIST);
    SendMessageA(Dlg(), WM_COMMAND, MAKEWPARAM(IDC_NOTES_LIST, LBN_DBLCLK), reinterpret_cast<LPARAM>(list));
    Pick(5);  // the 6th, a Saturday without a note
    SendMessageA(Dlg(), WM_COMMAND, MAKEWPARAM(IDC_NOTES_LIST, LBN_DBLCLK), reinterpret_cast<LPARAM>(list));
    EXPECT_EQ(opened, std::vector<std::string>{data + "2008-09-09.txt|Notepad.exe"});
}

TEST_F(NotesManagerTest, TickBoxesAnswerClicksAndTheSpaceBar) {
    Open();
    HWND list = GetDlgItem(Dlg(), IDC_NOTES_LIST);
    RECT item;
    SendMessageA(list, LB_GETITEMRECT, 3, reinterpret_cast<LPARAM>(&item));
    const LPARAM onBox = MAKELPARAM(item.left + 5, item.top + 3);
    const LPARAM onText = MAKELPARAM(item.left + 60, item.top + 3);
    SendMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, onBox);
    SendMessageA(list, WM_LBUTTONUP, 0, onBox);
    EXPECT_TRUE(manager.EntryTicked(3));
    SendMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, onText);
    SendMessageA(list, WM_LBUTTONUP, 0, onText);
    EXPECT_TRUE(manager.EntryTicked(3));
    SendMessageA(list, WM_CHAR, ' ', 0);
    EXPECT_FALSE(manager.EntryTicked(3));
    EXPECT_EQ(Ticked(), std::vector<int>{8});
}

}  // namespace
}  // namespace pinora
