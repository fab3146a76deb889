#include "ImportPreviewDlg.h"

#include <commctrl.h>

#include <cstdio>
#include <initializer_list>

#include "BoxText.h"
#include "PNPBResIds.h"
#include "PwdBoxEnv.h"

namespace {

constexpr unsigned kProblemBits = 6;
constexpr unsigned kFieldBits = 6;
static_assert(pninterop::kLineBreakInTitle == 1u << (kProblemBits - 1), "a text for every problem");
static_assert(pninterop::kFieldNotes == 1u << (kFieldBits - 1), "a text for every field");
// A summary names this many groups, then "...".
constexpr size_t kNamedGroups = 20;

std::string Capitalized(std::string text) {
    if (!text.empty() && text[0] >= 'a' && text[0] <= 'z') text[0] = char(text[0] - 'a' + 'A');
    return text;
}

// The words for each set bit, from consecutive strings, joined.
std::string Words(unsigned bits, unsigned count, int firstId, const char* separator) {
    std::string out;
    for (unsigned bit = 0; bit < count; ++bit) {
        if ((bits & (1u << bit)) == 0) continue;
        if (!out.empty()) out += separator;
        out += pwdbox::ResString(firstId + int(bit));
    }
    return out;
}

// Report-style columns with the given titles and widths (dialog units).
void AddColumns(HWND dialog, HWND list, std::initializer_list<std::pair<std::string, int>> columns) {
    ListView_SetExtendedListViewStyle(list, LVS_EX_FULLROWSELECT);
    int index = 0;
    for (const auto& c : columns) {
        RECT width = {0, 0, c.second, 0};
        MapDialogRect(dialog, &width);
        LVCOLUMNA column = {};
        column.mask = LVCF_TEXT | LVCF_WIDTH;
        column.cx = width.right;
        column.pszText = const_cast<char*>(c.first.c_str());
        SendMessageA(list, LVM_INSERTCOLUMNA, WPARAM(index++), LPARAM(&column));
    }
}

// A row of UTF-8 texts, shown character for character (characters the code
// page lacks too: those are often why an entry is listed).
void AddRow(HWND list, std::initializer_list<std::string> cells) {
    LVITEMW item = {};
    item.mask = LVIF_TEXT;
    item.iItem = int(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    int column = 0;
    for (const std::string& cell : cells) {
        std::wstring text = pwdbox::WideFromUtf8(cell);
        item.iSubItem = column++;
        item.pszText = &text[0];
        if (item.iSubItem == 0)
            item.iItem = int(SendMessageW(list, LVM_INSERTITEMW, 0, LPARAM(&item)));
        else
            SendMessageW(list, LVM_SETITEMTEXTW, WPARAM(item.iItem), LPARAM(&item));
    }
}

std::string Field(int bitIndex) { return Capitalized(pwdbox::ResString(IDS_PB_IMPORT_FIELD_FIRST + bitIndex)); }

// A refused entry by the first thing that names it.
std::string NameOf(const pninterop::Entry& e) {
    for (const std::string* text : {&e.title, &e.user, &e.url})
        if (!text->empty()) return *text;
    return std::string();
}

}  // namespace

INT_PTR CImportPreviewDlg::Run(HWND owner) { return DoModal(pwdbox::ResLib(), IDD_PB_IMPORT_PREVIEW, owner); }

std::string CImportPreviewDlg::WhyRefused(const pninterop::RefusedEntry& refusal) {
    return Capitalized(Words(refusal.problems, kProblemBits, IDS_PB_IMPORT_PROBLEM_FIRST, "; ")) + ": " +
           Words(refusal.fields, kFieldBits, IDS_PB_IMPORT_FIELD_FIRST, ", ");
}

INT_PTR CImportPreviewDlg::OnMessage(UINT msg, WPARAM wp, LPARAM) {
    if (msg == WM_INITDIALOG) {
        OnInit();
        return TRUE;
    }
    return EndOnOkOrCancel(msg, wp);
}

void CImportPreviewDlg::OnInit() {
    SetWindowTextA(hwnd(), pwdbox::ResString(IDS_PB_IMPORT_TITLE).c_str());
    char text[2048];
    if (plan_.records.empty()) {
        SetDlgItemTextA(hwnd(), IDC_PB_IMPORT_SUMMARY, pwdbox::ResString(IDS_PB_IMPORT_NONE).c_str());
    } else {
        std::string groups;
        for (size_t i = 0; i < plan_.groups.size() && i <= kNamedGroups; ++i)
            groups += (i ? ", " : "") + (i < kNamedGroups ? plan_.groups[i] : std::string("..."));
        std::snprintf(text, sizeof text, pwdbox::ResString(IDS_PB_IMPORT_SUMMARY).c_str(),
                      unsigned(plan_.records.size()), groups.c_str());
        SetDlgItemTextA(hwnd(), IDC_PB_IMPORT_SUMMARY, text);
    }
    std::snprintf(text, sizeof text, pwdbox::ResString(IDS_PB_IMPORT_SKIPPED).c_str(),
                  unsigned(plan_.duplicates.size()), unsigned(plan_.recycled.size()));
    SetDlgItemTextA(hwnd(), IDC_PB_IMPORT_SKIPPED, text);
    std::snprintf(text, sizeof text, pwdbox::ResString(IDS_PB_IMPORT_REFUSED).c_str(), unsigned(plan_.refused.size()));
    SetDlgItemTextA(hwnd(), IDC_PB_IMPORT_REFUSED_LABEL, text);
    FillRecords();
    FillRefused();
    EnableWindow(Item(IDOK), !plan_.records.empty());
    SendMessageA(hwnd(), DM_SETDEFID, plan_.records.empty() ? IDCANCEL : IDOK, 0);
    SetFocus(Item(plan_.records.empty() ? IDCANCEL : IDOK));
}

void CImportPreviewDlg::FillRecords() {
    HWND list = Item(IDC_PB_IMPORT_RECORDS);
    AddColumns(hwnd(), list, {{Field(0), 60}, {Field(1), 80}, {Field(2), 70}, {Field(4), 110}});
    for (size_t i = 0; i < plan_.records.size() && i < kListedRecords; ++i) {
        const pninterop::Entry& e = file_.entries[plan_.records[i].entry];
        std::string group;
        pwdbox::Utf8FromBoxText(plan_.records[i].record.group, group);
        AddRow(list, {group, e.title, e.user, e.url});
    }
}

void CImportPreviewDlg::FillRefused() {
    HWND list = Item(IDC_PB_IMPORT_REFUSED);
    AddColumns(hwnd(), list,
               {{pwdbox::ResString(IDS_PB_COL_LINE), 24}, {pwdbox::ResString(IDS_PB_COL_ENTRY), 90},
                {pwdbox::ResString(IDS_PB_COL_WHY), 200}});
    for (size_t i = 0; i < plan_.refused.size() && i < kListedRefusals; ++i) {
        const pninterop::RefusedEntry& r = plan_.refused[i];
        const pninterop::Entry& e = file_.entries[r.entry];
        std::string why;
        pwdbox::Utf8FromBoxText(WhyRefused(r), why);
        AddRow(list, {std::to_string(e.line), NameOf(e), why});
    }
}
