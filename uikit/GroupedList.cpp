#include "GroupedList.h"

#include <algorithm>

#include "Utf8Text.h"
#include "WindowText.h"

namespace uikit {
namespace {

constexpr char kClassName[] = "UIKIT_GROUPEDLIST";
constexpr int kListId = 1;
constexpr int kMarkWidth = 20;  // where the open/closed mark of a group row sits
constexpr int kImageSize = 15;

void CopyInto(std::string& to, const char* from) {
    // The old text may have been a secret: erased, not merely overwritten.
    if (!to.empty()) SecureZeroMemory(&to[0], to.size());
    to = from ? from : "";
}

}  // namespace

void GroupedList::EraseText(std::string& text) {
    if (!text.empty()) SecureZeroMemory(&text[0], text.size());
    text.clear();
}

void GroupedList::EraseTexts(Record& record) {
    for (int column = 0; column < kColumns; ++column) {
        EraseText(record.text[column]);
        EraseText(record.second[column]);
    }
}

GroupedList::~GroupedList() = default;

HWND GroupedList::Create(HWND parent, int id) noexcept {
    if (!RegisterWindowClass(kClassName, CS_DBLCLKS, GetSysColorBrush(COLOR_WINDOW))) return nullptr;
    return CreateWindowOf(0, kClassName, "", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 0, 0, parent,
                          reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)));
}

void GroupedList::CreateInnerList() {
    list_ = CreateWindowExA(WS_EX_CLIENTEDGE, WC_LISTVIEWA, "",
                            WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_OWNERDATA | LVS_OWNERDRAWFIXED |
                                LVS_SINGLESEL | LVS_SHOWSELALWAYS,
                            0, 0, 0, 0, hwnd(), reinterpret_cast<HMENU>(static_cast<INT_PTR>(kListId)), ThisModule(),
                            nullptr);
    if (!list_) return;
    ListView_SetExtendedListViewStyle(list_, LVS_EX_FULLROWSELECT);
    ApplyRowHeight();
}

// ---- Columns and look ----

void GroupedList::AddColumn(const char* title, int width, int subItem) {
    LVCOLUMNA column = {};
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
    column.pszText = const_cast<char*>(title ? title : "");
    column.cx = width;
    column.iSubItem = subItem;
    if (SendMessageA(list_, LVM_INSERTCOLUMNA, WPARAM(columnCount_), LPARAM(&column)) >= 0) ++columnCount_;
}

void GroupedList::SetColumnWidth(int column, int width) { ListView_SetColumnWidth(list_, column, width); }

void GroupedList::SetColumnTitle(int column, const char* title) {
    LVCOLUMNA c = {};
    c.mask = LVCF_TEXT;
    c.pszText = const_cast<char*>(title ? title : "");
    SendMessageA(list_, LVM_SETCOLUMNA, WPARAM(column), LPARAM(&c));
}

void GroupedList::SetHeaderFont(HFONT font) {
    if (HWND header = ListView_GetHeader(list_)) SendMessageA(header, WM_SETFONT, WPARAM(font), TRUE);
}

void GroupedList::SetRowHeight(int pixels) {
    rowHeight_ = std::max(1, pixels);
    ApplyRowHeight();
}

void GroupedList::ApplyRowHeight() {
    if (!list_) return;
    // A small-image list as tall as a row fixes the row height wherever the
    // owner-drawn list does not ask for it with WM_MEASUREITEM.
    heightImages_.reset(ImageList_Create(1, rowHeight_, ILC_COLOR, 1, 0));
    ListView_SetImageList(list_, heightImages_.get(), LVSIL_SMALL);
    // A new font makes the list measure its rows again.
    SendMessageA(list_, WM_SETFONT, SendMessageA(list_, WM_GETFONT, 0, 0), TRUE);
}

void GroupedList::SetImageList(HIMAGELIST images) {
    images_ = images;
    if (list_) InvalidateRect(list_, nullptr, TRUE);
}

HFONT GroupedList::LinkFont() {
    if (!linkFont_) {
        HFONT base = reinterpret_cast<HFONT>(SendMessageA(list_, WM_GETFONT, 0, 0));
        LOGFONTA lf = {};
        if (!base || !GetObjectA(base, sizeof lf, &lf)) GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof lf, &lf);
        lf.lfUnderline = TRUE;
        linkFont_.reset(CreateFontIndirectA(&lf));
    }
    return linkFont_.get();
}

// ---- Rows ----

const GroupedList::Record* GroupedList::FindRecord(int key) const {
    auto it = records_.find(key);
    return it == records_.end() ? nullptr : &it->second;
}
GroupedList::Record* GroupedList::FindRecord(int key) {
    auto it = records_.find(key);
    return it == records_.end() ? nullptr : &it->second;
}
const GroupedList::Group* GroupedList::FindGroup(int key) const {
    auto it = groupIndex_.find(key);
    return it == groupIndex_.end() ? nullptr : &groups_[it->second];
}
GroupedList::Group* GroupedList::FindGroup(int key) {
    auto it = groupIndex_.find(key);
    return it == groupIndex_.end() ? nullptr : &groups_[it->second];
}

bool GroupedList::AddGroup(int key, const char* text, COLORREF back, HFONT font, bool open) {
    if (HasGroup(key)) return false;
    Group group{key, text ? text : "", back, font, open, {}};
    groupIndex_[key] = groups_.size();
    groups_.push_back(std::move(group));
    Changed();
    return true;
}

bool GroupedList::AddRecord(int groupKey, int recordKey) {
    Group* group = FindGroup(groupKey);
    if (!group || HasRecord(recordKey)) return false;
    Record record;
    record.key = recordKey;
    record.group = groupKey;
    records_.emplace(recordKey, std::move(record));
    group->records.push_back(recordKey);
    Changed();
    return true;
}

bool GroupedList::SetCellText(int recordKey, int column, const char* text) {
    Record* r = FindRecord(recordKey);
    if (!r || column < 0 || column >= kColumns) return false;
    CopyInto(r->text[column], text);
    if (list_ && !viewStale_) InvalidateRect(list_, nullptr, FALSE);
    return true;
}

bool GroupedList::SetCellSecondText(int recordKey, int column, const char* text) {
    Record* r = FindRecord(recordKey);
    if (!r || column < 0 || column >= kColumns) return false;
    CopyInto(r->second[column], text);
    return true;
}

bool GroupedList::SetLinkCell(int recordKey, int column, bool link) {
    Record* r = FindRecord(recordKey);
    if (!r || column < 0 || column >= kColumns) return false;
    r->link[column] = link;
    return true;
}

std::string GroupedList::CellText(int recordKey, int column) const {
    const Record* r = FindRecord(recordKey);
    return r && column >= 0 && column < kColumns ? r->text[column] : std::string();
}

std::string GroupedList::CellSecondText(int recordKey, int column) const {
    const Record* r = FindRecord(recordKey);
    return r && column >= 0 && column < kColumns ? r->second[column] : std::string();
}

int GroupedList::GroupOfRecord(int recordKey) const {
    const Record* r = FindRecord(recordKey);
    return r ? r->group : kNoKey;
}

std::string GroupedList::GroupText(int key) const {
    const Group* g = FindGroup(key);
    return g ? g->text : std::string();
}

const std::vector<GroupedList::RowRef>& GroupedList::Rows() const {
    if (rowsStale_) {
        rows_.clear();
        rows_.reserve(groups_.size() + records_.size());
        for (size_t i = 0; i < groups_.size(); ++i) {
            rows_.push_back({int(i), kNoKey});
            if (groups_[i].open)
                for (int key : groups_[i].records) rows_.push_back({int(i), key});
        }
        rowsStale_ = false;
    }
    return rows_;
}

bool GroupedList::IsGroupRow(int row) const {
    const auto& rows = Rows();
    return row >= 0 && row < int(rows.size()) && rows[size_t(row)].record == kNoKey;
}

int GroupedList::GroupKeyOfRow(int row) const {
    const auto& rows = Rows();
    if (row < 0 || row >= int(rows.size())) return kNoKey;
    return groups_[size_t(rows[size_t(row)].group)].key;
}

int GroupedList::RecordKeyOfRow(int row) const {
    const auto& rows = Rows();
    if (row < 0 || row >= int(rows.size())) return kNoKey;
    return rows[size_t(row)].record;
}

int GroupedList::RowOfRecord(int recordKey) const {
    const auto& rows = Rows();
    for (size_t i = 0; i < rows.size(); ++i)
        if (rows[i].record == recordKey) return int(i);
    return kNoRow;
}

int GroupedList::RowOfGroup(int groupKey) const {
    const auto& rows = Rows();
    for (size_t i = 0; i < rows.size(); ++i)
        if (rows[i].record == kNoKey && groups_[size_t(rows[i].group)].key == groupKey) return int(i);
    return kNoRow;
}

int GroupedList::RowCount() const { return int(Rows().size()); }

bool GroupedList::OpenGroup(int key, bool open) {
    Group* g = FindGroup(key);
    if (!g) return false;
    if (g->open != open) {
        g->open = open;
        Changed();
    }
    return true;
}

bool GroupedList::IsGroupOpen(int key) const {
    const Group* g = FindGroup(key);
    return g && g->open;
}

bool GroupedList::GroupHasRecords(int key) const {
    const Group* g = FindGroup(key);
    return g && !g->records.empty();
}

bool GroupedList::RenameGroup(int key, const char* text) {
    Group* g = FindGroup(key);
    if (!g) return false;
    CopyInto(g->text, text);
    if (list_) InvalidateRect(list_, nullptr, FALSE);
    return true;
}

bool GroupedList::RemoveGroup(int key) {
    auto it = groupIndex_.find(key);
    if (it == groupIndex_.end()) return false;
    size_t index = it->second;
    for (int record : groups_[index].records) {
        if (Record* r = FindRecord(record)) EraseTexts(*r);
        records_.erase(record);
    }
    groups_.erase(groups_.begin() + std::ptrdiff_t(index));
    groupIndex_.clear();
    for (size_t i = 0; i < groups_.size(); ++i) groupIndex_[groups_[i].key] = i;
    Changed();
    return true;
}

bool GroupedList::RemoveRecord(int key) {
    Record* r = FindRecord(key);
    if (!r) return false;
    if (Group* g = FindGroup(r->group)) g->records.erase(std::remove(g->records.begin(), g->records.end(), key), g->records.end());
    EraseTexts(*r);
    records_.erase(key);
    Changed();
    return true;
}

void GroupedList::RemoveAll() {
    // The rows may have held secrets (the password box's): their texts are
    // erased before the memory goes back.
    for (auto& entry : records_) EraseTexts(entry.second);
    for (Group& group : groups_) EraseText(group.text);
    groups_.clear();
    groupIndex_.clear();
    records_.clear();
    selectedGroupKey_ = selectedRecordKey_ = kNoKey;
    Changed();
}

void GroupedList::Changed() {
    rowsStale_ = true;
    if (!viewStale_ && list_) {
        viewStale_ = true;
        // Many changes in a row (a whole database being read) cost one update
        // of the view; anything that needs the view brings it up to date first.
        PostMessageA(hwnd(), WM_APP, 0, 0);
    }
}

void GroupedList::SyncView() const {
    if (!viewStale_ || !list_) return;
    viewStale_ = false;
    const auto& rows = Rows();
    SendMessageA(list_, LVM_SETITEMCOUNT, WPARAM(rows.size()), LVSICF_NOSCROLL);
    // The selection stays on its group or record, wherever that row is now.
    int selected = kNoRow;
    for (size_t i = 0; i < rows.size() && (selectedGroupKey_ != kNoKey || selectedRecordKey_ != kNoKey); ++i) {
        bool match = selectedRecordKey_ != kNoKey ? rows[i].record == selectedRecordKey_
                                                  : rows[i].record == kNoKey &&
                                                        groups_[size_t(rows[i].group)].key == selectedGroupKey_;
        if (match) {
            selected = int(i);
            break;
        }
    }
    int shown = int(SendMessageA(list_, LVM_GETNEXTITEM, WPARAM(-1), LVNI_SELECTED));
    if (shown != selected) {
        LVITEMA item = {};
        item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
        item.state = 0;
        SendMessageA(list_, LVM_SETITEMSTATE, WPARAM(-1), LPARAM(&item));
        if (selected != kNoRow) {
            item.state = LVIS_SELECTED | LVIS_FOCUSED;
            SendMessageA(list_, LVM_SETITEMSTATE, WPARAM(selected), LPARAM(&item));
        } else {
            selectedGroupKey_ = selectedRecordKey_ = kNoKey;
        }
    }
    InvalidateRect(list_, nullptr, TRUE);
}

void GroupedList::SelectRow(int row) {
    SyncView();
    LVITEMA item = {};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    item.state = 0;
    SendMessageA(list_, LVM_SETITEMSTATE, WPARAM(-1), LPARAM(&item));
    selectedGroupKey_ = selectedRecordKey_ = kNoKey;
    if (row < 0 || row >= RowCount()) return;
    if (IsGroupRow(row))
        selectedGroupKey_ = GroupKeyOfRow(row);
    else
        selectedRecordKey_ = RecordKeyOfRow(row);
    item.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageA(list_, LVM_SETITEMSTATE, WPARAM(row), LPARAM(&item));
    SendMessageA(list_, LVM_ENSUREVISIBLE, WPARAM(row), FALSE);
}

int GroupedList::SelectedRow() const {
    SyncView();
    return int(SendMessageA(list_, LVM_GETNEXTITEM, WPARAM(-1), LVNI_SELECTED));
}

// ---- Messages ----

LRESULT GroupedList::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_CREATE:
        CreateInnerList();
        return list_ ? 0 : -1;
    case WM_SIZE:
        if (list_) MoveWindow(list_, 0, 0, LOWORD(lp), HIWORD(lp), TRUE);
        return 0;
    case WM_SETFOCUS:
        if (list_) SetFocus(list_);
        return 0;
    case WM_APP:
        SyncView();
        return 0;
    case WM_MEASUREITEM: {
        auto* measure = reinterpret_cast<MEASUREITEMSTRUCT*>(lp);
        if (measure->CtlType == ODT_LISTVIEW) {
            measure->itemHeight = UINT(rowHeight_);
            return TRUE;
        }
        break;
    }
    case WM_DRAWITEM: {
        auto* item = reinterpret_cast<DRAWITEMSTRUCT*>(lp);
        if (item->CtlType == ODT_LISTVIEW && item->hwndItem == list_) {
            DrawRow(*item);
            return TRUE;
        }
        break;
    }
    case WM_NOTIFY:
        return HandleListNotify(reinterpret_cast<NMHDR*>(lp));
    case WM_DESTROY:
        list_ = nullptr;
        break;
    }
    return Default(msg, wp, lp);
}

LRESULT GroupedList::HandleListNotify(NMHDR* header) {
    if (!header) return 0;
    if (header->hwndFrom == ListView_GetHeader(list_)) {
        if (header->code == HDN_TRACKA || header->code == HDN_TRACKW) OnHeaderMouseMove();
        return 0;
    }
    if (header->hwndFrom != list_) return 0;
    SyncView();  // row numbers in the notification are the view's
    switch (header->code) {
    case NM_CLICK:
        HandleClick(*reinterpret_cast<NMITEMACTIVATE*>(header));
        return 0;
    case LVN_COLUMNCLICK: {
        int column = reinterpret_cast<NMLISTVIEW*>(header)->iSubItem;
        OnHeaderClicked(column);
        OnHeaderClickForSort(column);
        return 0;
    }
    case LVN_ITEMCHANGED: {
        auto* change = reinterpret_cast<NMLISTVIEW*>(header);
        if (change->uChanged & LVIF_STATE) {
            if (change->iItem >= 0 && (change->uNewState & LVIS_SELECTED)) {
                selectedGroupKey_ = IsGroupRow(change->iItem) ? GroupKeyOfRow(change->iItem) : kNoKey;
                selectedRecordKey_ = RecordKeyOfRow(change->iItem);
            } else if (change->iItem == -1 && !(change->uNewState & LVIS_SELECTED)) {
                selectedGroupKey_ = selectedRecordKey_ = kNoKey;
            }
        }
        return 0;
    }
    case LVN_KEYDOWN: {
        // Left closes and Right opens the selected group.
        WORD key = reinterpret_cast<NMLVKEYDOWN*>(header)->wVKey;
        int row = SelectedRow();
        if ((key == VK_LEFT || key == VK_RIGHT) && IsGroupRow(row)) OpenGroup(GroupKeyOfRow(row), key == VK_RIGHT);
        return 0;
    }
    case LVN_GETDISPINFOA: {
        auto* info = reinterpret_cast<NMLVDISPINFOA*>(header);
        if ((info->item.mask & LVIF_TEXT) && info->item.pszText && info->item.cchTextMax > 0) {
            int row = info->item.iItem, column = info->item.iSubItem;
            std::string text = IsGroupRow(row) ? (column == 0 ? GroupText(GroupKeyOfRow(row)) : std::string())
                                               : CellText(RecordKeyOfRow(row), column);
            CopyUtf8(info->item.pszText, static_cast<size_t>(info->item.cchTextMax), text.c_str());
        }
        return 0;
    }
    case LVN_ODFINDITEMA:
        return -1;
    }
    return 0;
}

void GroupedList::HandleClick(const NMITEMACTIVATE& click) {
    LVHITTESTINFO hit = {};
    hit.pt = click.ptAction;
    int row = int(SendMessageA(list_, LVM_SUBITEMHITTEST, 0, LPARAM(&hit)));
    if (row < 0) row = click.iItem;
    if (row < 0 || row >= RowCount()) return;
    if (IsGroupRow(row)) {
        int key = GroupKeyOfRow(row);
        OpenGroup(key, !IsGroupOpen(key));
        return;
    }
    const Record* r = FindRecord(RecordKeyOfRow(row));
    int column = hit.iSubItem;
    if (r && column >= 0 && column < kColumns && r->link[column])
        OnClickLinkCell(row, column, click.uKeyFlags);
    else
        OnClickCell(row, column);
}

void GroupedList::OnClickLinkCell(int, int, UINT) {}
void GroupedList::OnClickCell(int, int) {}
void GroupedList::OnHeaderClicked(int) {}
void GroupedList::OnHeaderMouseMove() {}
void GroupedList::OnHeaderClickForSort(int) {}
void GroupedList::ReSortYoxItems() {}

// ---- Drawing ----

void GroupedList::DrawRow(const DRAWITEMSTRUCT& item) {
    HDC dc = item.hDC;
    RECT rc = item.rcItem;
    int row = int(item.itemID);
    bool selected = (item.itemState & ODS_SELECTED) != 0;
    bool focused = GetFocus() == list_;
    COLORREF selBack = GetSysColor(focused ? COLOR_HIGHLIGHT : COLOR_BTNFACE);
    COLORREF selText = GetSysColor(focused ? COLOR_HIGHLIGHTTEXT : COLOR_BTNTEXT);
    int saved = SaveDC(dc);
    SetBkMode(dc, TRANSPARENT);

    if (IsGroupRow(row)) {
        const Group& g = groups_[size_t(Rows()[size_t(row)].group)];
        RECT client;
        GetClientRect(list_, &client);
        rc.right = std::max(rc.right, client.right);  // the band runs the width of the list
        HBRUSH back = CreateSolidBrush(selected ? selBack : g.back);
        FillRect(dc, &rc, back);
        DeleteObject(back);
        if (images_)
            ImageList_Draw(images_, g.open ? 1 : 0, dc, rc.left + (kMarkWidth - kImageSize) / 2 + 2,
                           rc.top + (rc.bottom - rc.top - kImageSize) / 2, ILD_TRANSPARENT);
        if (g.font) SelectObject(dc, g.font);
        SetTextColor(dc, selected ? selText : GetSysColor(COLOR_WINDOWTEXT));
        RECT text = rc;
        text.left += kMarkWidth + 6;
        std::string label = g.text + "  (" + std::to_string(g.records.size()) + ")";
        DrawTextUtf8(dc, label, &text, DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX);
    } else {
        const Record* r = FindRecord(RecordKeyOfRow(row));
        FillRect(dc, &rc, selected ? GetSysColorBrush(focused ? COLOR_HIGHLIGHT : COLOR_BTNFACE)
                                   : GetSysColorBrush(COLOR_WINDOW));
        HFONT normal = reinterpret_cast<HFONT>(SendMessageA(list_, WM_GETFONT, 0, 0));
        int x = rc.left;
        for (int column = 0; column < columnCount_ && r; ++column) {
            int width = ListView_GetColumnWidth(list_, column);
            RECT cell = {x + 6, rc.top, x + width - 4, rc.bottom};
            x += width;
            if (r->text[column].empty() || cell.right <= cell.left) continue;
            bool link = r->link[column];
            SelectObject(dc, link ? LinkFont() : normal);
            SetTextColor(dc, selected ? selText : link ? RGB(0, 64, 192) : GetSysColor(COLOR_WINDOWTEXT));
            DrawTextUtf8(dc, r->text[column], &cell,
                      DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX);
        }
    }
    if ((item.itemState & ODS_FOCUS) && focused) DrawFocusRect(dc, &rc);
    RestoreDC(dc, saved);
}

}  // namespace uikit
