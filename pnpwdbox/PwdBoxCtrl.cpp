// The control's window: creation and layout, the list's notifications, the
// private messages, and the thread that reads the database into the list.
#include "PwdBoxCtrl.h"

#include <process.h>

#include <cstdio>
#include <cstring>

#include "PNPBResIds.h"
#include "PwdBoxEnv.h"
#include "PwdMessages.h"
#include "PwdStore.h"
#include "Skin.h"
#include "SmallDialogs.h"
#include "UpdateChannel.h"
#include "Utf8Text.h"

namespace {

constexpr char kControlClass[] = "PN_PWDBOXCTRL";
constexpr int kSplitterId = 100;
constexpr int kListId = 101;
constexpr int kCommentId = 102;
constexpr COLORREF kGroupColour = 0xF7EFEF;
constexpr char kHiddenPassword[] = "********";
constexpr size_t kCellLimit = 127;
constexpr size_t kUrlLimit = 1023;

std::string Cut(const char* text, size_t limit) {
    std::string s = text ? text : "";
    return uikit::Utf8Prefix(s, limit);
}

}  // namespace

CPnPwdBoxCtrl::CPnPwdBoxCtrl() = default;

CPnPwdBoxCtrl::~CPnPwdBoxCtrl() {
    Destroy();
    StopThread();
}

HWND CPnPwdBoxCtrl::Create(HWND parent, bool visible, bool selfDeleting) noexcept {
    pwdbox::EnsureToolkit();
    selfDeleting_ = selfDeleting;
    if (!RegisterWindowClass(kControlClass, CS_DBLCLKS, GetSysColorBrush(COLOR_BTNFACE))) return nullptr;
    return CreateWindowOf(0, kControlClass, "", WS_CHILD | WS_CLIPCHILDREN | (visible ? WS_VISIBLE : 0), 0, 0, 0, 0,
                          parent, nullptr);
}

HWND CPnPwdBoxCtrl::SearchDialogWindow() const { return search_ && search_->IsWindowAlive() ? search_->hwnd() : nullptr; }
HWND CPnPwdBoxCtrl::RenameDialogWindow() const { return rename_ && rename_->IsWindowAlive() ? rename_->hwnd() : nullptr; }

HWND CPnPwdBoxCtrl::TopWindow() const { return GetAncestor(hwnd(), GA_ROOT); }

LRESULT CPnPwdBoxCtrl::OnCreate() {
    HMODULE res = pwdbox::ResLib();
    if (res) {
        images_.reset(ImageList_LoadImageA(res, MAKEINTRESOURCEA(IDB_PB_LIST_IMAGES), 15, 1, RGB(0xFF, 0x00, 0xFF),
                                           IMAGE_BITMAP, LR_CREATEDIBSECTION));
        mainMenu_.reset(LoadMenuA(res, MAKEINTRESOURCEA(IDR_PB_MAINMENU)));
        popups_.reset(LoadMenuA(res, MAKEINTRESOURCEA(IDR_PB_POPUPS)));
    }
    groupFont_.reset(CreateFontA(-12, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "Tahoma"));

    if (!splitter_.Create(hwnd(), kSplitterId)) return -1;
    list_.SetResourceModule(res);
    if (!list_.Create(splitter_.hwnd(), kListId)) return -1;
    list_.SetNotifyParent(hwnd());
    list_.SetMainMenu(mainMenu_.get());
    comment_ = CreateWindowExA(WS_EX_CLIENTEDGE, "EDIT", "",
                               WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_READONLY, 0, 0,
                               0, 0, splitter_.hwnd(), reinterpret_cast<HMENU>(static_cast<INT_PTR>(kCommentId)),
                               uikit::ThisModule(), nullptr);
    SendMessageA(comment_, WM_SETFONT, WPARAM(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    splitter_.SetTopShare(4, 5);
    splitter_.SetPanes(list_.hwnd(), comment_);

    list_.AddColumn("", 20, 0);
    list_.AddColumn(pwdbox::ResString(IDS_PB_COL_USER).c_str(), 100, 1);
    list_.AddColumn(pwdbox::ResString(IDS_PB_COL_PASSWORD).c_str(), 100, 2);
    list_.AddColumn(pwdbox::ResString(IDS_PB_COL_URL).c_str(), 200, 3);
    list_.SetRowHeight(30);
    list_.SetImageList(images_.get());

    pnstore::createSchema(true);
    // Records are read only while the box is unlocked (the frame reads them
    // at its unlock).
    if (pnstore::SessionOpen()) ReadDBToListView();
    CPwdUpdateChannel::Instance().Subscribe(kPbEventRecordUpdated, hwnd());
    return 0;
}

void CPnPwdBoxCtrl::OnDestroy() {
    closing_ = true;
    StopThread();
    // A password still waiting to be taken off the clipboard goes now.
    if (clipboard_.Pending()) clipboard_.Fire();
    list_.RemoveAll();  // erases what the rows held
    SetWindowTextA(comment_, "");
    CPwdUpdateChannel::Instance().UnsubscribeAll(hwnd());
    if (rename_) rename_->Destroy();
    if (search_) search_->Destroy();
    if (setMain_) setMain_->Destroy();
    list_.SetImageList(nullptr);
    images_.reset();
    mainMenu_.reset();
    popups_.reset();
    groupFont_.reset();
}

void CPnPwdBoxCtrl::OnFinalMessage() {
    if (selfDeleting_) delete this;
}

void CPnPwdBoxCtrl::OnSize(int width, int height) {
    MoveWindow(splitter_.hwnd(), 0, 0, width, height, TRUE);
    list_.SetColumnWidth(0, 20);
    list_.SetColumnWidth(1, 100);
    list_.SetColumnWidth(2, 100);
    list_.SetColumnWidth(3, std::max(40, width - 260));
}

LRESULT CPnPwdBoxCtrl::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_CREATE:
        return OnCreate();
    case WM_DESTROY:
        OnDestroy();
        return 0;
    case WM_SIZE:
        OnSize(LOWORD(lp), HIWORD(lp));
        return 0;
    case WM_TIMER:
        if (wp == pwdbox::ClipboardClearer::kTimerId) {
            clipboard_.Fire();
            return 0;
        }
        break;
    case WM_NOTIFY: {
        auto* header = reinterpret_cast<NMHDR*>(lp);
        if (header && header->hwndFrom == list_.ListHwnd()) OnListNotify(*header);
        return 0;
    }
    case WM_COMMAND:
        // Menus and the list's search key; the comment pane's own
        // notifications are not commands.
        if (lp == 0 || HIWORD(wp) == 0) OnCommand(LOWORD(wp));
        return 0;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
        if (INT_PTR brush = uikit::HandleSkinMessage(hwnd(), msg, wp, lp)) return brush;
        break;
    case PBM_REMOVEALLROWS:
        if (!closing_) {
            list_.RemoveAll();
            damaged_.clear();
        }
        return 0;
    case PBM_ADDRECORDROW:
        return OnAddGroupChild(wp, reinterpret_cast<const tagRECORD*>(lp));
    case PBM_ADDGROUPROW:
        return OnAddGroup(int(wp), reinterpret_cast<const char*>(lp));
    case PBM_ADDROWBATCH:
        return OnAddRowBatch(reinterpret_cast<const PbRowBatch*>(lp));
    case PBM_RENAMEGROUPROW:
        return OnDoRenameGrp(reinterpret_cast<const PbRenameBlock*>(lp));
    case PBM_SEARCH:
        return OnDoSearchRecord(reinterpret_cast<std::vector<int32_t>*>(wp), reinterpret_cast<const char*>(lp));
    case PBM_SELECTROW:
        return OnSelectListItem(int(lp));
    }
    if (msg == PbUpdateMessage()) {
        OnUpdatePwd(wp, lp);
        return 0;
    }
    return Default(msg, wp, lp);
}

// ---- The list's notifications ----

void CPnPwdBoxCtrl::OnListNotify(const NMHDR& header) {
    const auto& activate = reinterpret_cast<const NMITEMACTIVATE&>(header);
    switch (header.code) {
    case NM_CLICK:
        OnClick(activate.iItem);
        break;
    case NM_DBLCLK:
        if (activate.iItem >= 0 && !list_.IsGroupRow(activate.iItem)) SendMessageA(hwnd(), WM_COMMAND, ID_PB_EDIT_RECORD, 0);
        break;
    case NM_RCLICK:
        OnRightClick(activate.iItem);
        break;
    }
}

void CPnPwdBoxCtrl::ShowComments(int record) {
    std::string comments = pnstore::PwdStore().readComments(record);
    if (comments == std::string(1, '\x01')) comments.clear();  // no such record
    SetWindowTextA(comment_, comments.c_str());
}

void CPnPwdBoxCtrl::OnClick(int row) {
    if (row >= 0 && list_.IsGroupRow(row)) {
        currentGroup_ = list_.GroupKeyOfRow(row);
        return;
    }
    int selected = list_.SelectedRow();
    int record = selected >= 0 ? list_.RecordKeyOfRow(selected) : -1;
    if (record >= 1) {
        currentRecord_ = record;
        ShowComments(record);
    } else {
        SetWindowTextA(comment_, "");
    }
}

void CPnPwdBoxCtrl::OnRightClick(int row) {
    if (!popups_) return;
    POINT at;
    GetCursorPos(&at);
    if (row >= 0 && list_.IsGroupRow(row)) {
        currentGroup_ = list_.GroupKeyOfRow(row);
        HMENU menu = GetSubMenu(popups_.get(), PB_POPUP_GROUP);
        bool open = list_.IsGroupOpen(currentGroup_);
        EnableMenuItem(menu, ID_PB_COLLAPSE_GROUP, MF_BYCOMMAND | (open ? MF_ENABLED : MF_GRAYED));
        EnableMenuItem(menu, ID_PB_EXPAND_GROUP, MF_BYCOMMAND | (open ? MF_GRAYED : MF_ENABLED));
        TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_RIGHTBUTTON, at.x, at.y, 0, hwnd(), nullptr);
        return;
    }
    HMENU menu = GetSubMenu(popups_.get(), PB_POPUP_RECORD);
    int selected = list_.SelectedRow();
    bool hasRow = selected >= 0;
    for (UINT id : {ID_PB_DELETE_RECORD, ID_PB_COPY_PASSWORD, ID_PB_COPY_USER, ID_PB_VIEW_PASSWORD})
        EnableMenuItem(menu, id, MF_BYCOMMAND | (hasRow ? MF_ENABLED : MF_GRAYED));
    int record = hasRow ? list_.RecordKeyOfRow(selected) : -1;
    if (record >= 1) {
        currentRecord_ = record;
        ShowComments(record);
    }
    TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_RIGHTBUTTON, at.x, at.y, 0, hwnd(), nullptr);
}

// ---- Private messages ----

void CPnPwdBoxCtrl::AddPlaceholderGroup(int group) {
    // Records whose group row is missing (a group removed outside the box)
    // still get a row to be listed under.
    char name[64];
    std::snprintf(name, sizeof name, "(group %d)", group);
    list_.AddGroup(group, name, kGroupColour, groupFont_.get(), true);
}

LRESULT CPnPwdBoxCtrl::OnAddGroupChild(WPARAM wp, const tagRECORD* record) {
    if (!record || closing_) return 0;
    int group = LOWORD(wp), id = HIWORD(wp);
    // The message has room for 16 bits of each number; the record carries
    // them whole, so numbers past 65535 still find their rows.
    if ((record->nGroup & 0xFFFF) == group && (record->nId & 0xFFFF) == id) {
        group = record->nGroup;
        id = record->nId;
    }
    if (!list_.HasGroup(group)) AddPlaceholderGroup(group);
    if (!list_.AddRecord(group, id)) return 0;
    const bool damaged = record->nState == kRecordDamaged;
    const std::string url = Cut(record->szUrl, kUrlLimit);
    list_.SetCellText(id, kUserColumn, Cut(record->szUser, kCellLimit).c_str());
    if (damaged) {
        // Shown for what it is; nothing of it is used, its address is no link.
        damaged_.insert(id);
        list_.SetCellText(id, kPasswordColumn, pwdbox::ResString(IDS_PB_DAMAGED_CELL).c_str());
        char note[64];
        std::snprintf(note, sizeof note, "PnPwdBox: damaged record %d\n", id);
        OutputDebugStringA(note);
    } else {
        damaged_.erase(id);
        list_.SetCellText(id, kPasswordColumn, kHiddenPassword);
        list_.SetCellSecondText(id, kPasswordColumn, Cut(record->szPwd, kCellLimit).c_str());
    }
    list_.SetCellText(id, kUrlColumn, url.c_str());
    list_.SetLinkCell(id, kUrlColumn, !damaged && CPNPWDListViewCtrl::IsWebAddress(url));
    return 1;
}

LRESULT CPnPwdBoxCtrl::OnAddGroup(int group, const char* name) {
    if (closing_) return 0;
    std::string text = Cut(name, 127);
    if (list_.HasGroup(group)) return list_.RenameGroup(group, text.c_str()) ? 1 : 0;
    return list_.AddGroup(group, text.c_str(), kGroupColour, groupFont_.get(), true) ? 1 : 0;
}

LRESULT CPnPwdBoxCtrl::OnAddRowBatch(const PbRowBatch* batch) {
    if (!batch) return 0;
    LRESULT added = 0;
    for (size_t i = 0; i < batch->groupCount; ++i) added += OnAddGroup(batch->groups[i].group, batch->groups[i].name);
    for (size_t i = 0; i < batch->recordCount; ++i) {
        const tagRECORD& r = batch->records[i];
        added += OnAddGroupChild(MAKEWPARAM(WORD(r.nGroup), WORD(r.nId)), &r);
    }
    return added;
}

LRESULT CPnPwdBoxCtrl::OnDoRenameGrp(const PbRenameBlock* block) {
    if (!block) return 0;
    std::string name(block->name, strnlen(block->name, sizeof block->name));
    return list_.RenameGroup(block->group, name.c_str()) ? 1 : 0;
}

LRESULT CPnPwdBoxCtrl::OnDoSearchRecord(std::vector<int32_t>* rows, const char* text) {
    if (!rows) return 0;
    OnExpandAll();
    for (int id : pnstore::PwdStore().searchByUrl(text)) {
        int row = list_.RowOfRecord(id);
        // Deleted records match too, but have no row: they are no finding.
        if (row >= 0) rows->push_back(row);
    }
    return 0;
}

LRESULT CPnPwdBoxCtrl::OnSelectListItem(int row) {
    list_.SelectRow(row);
    // What the search selected is what the record commands work on.
    int record = list_.RecordKeyOfRow(row);
    if (record >= 1) {
        currentRecord_ = record;
        ShowComments(record);
    }
    return 0;
}

void CPnPwdBoxCtrl::OnUpdatePwd(WPARAM wp, LPARAM lp) {
    const auto* block = reinterpret_cast<const PbUpdateBlock*>(lp);
    if (wp != kPbRecordUpdatedParam || !block || !block->record) return;
    UpdateListItemByPwdRec(*block->record);
}

void CPnPwdBoxCtrl::UpdateListItemByPwdRec(const tagRECORD& record) {
    if (!list_.HasRecord(record.nId)) return;
    const std::string url = Cut(record.szUrl, kUrlLimit);
    list_.SetCellSecondText(record.nId, kPasswordColumn, Cut(record.szPwd, kCellLimit).c_str());
    list_.SetCellText(record.nId, kUrlColumn, url.c_str());
    list_.SetLinkCell(record.nId, kUrlColumn, CPNPWDListViewCtrl::IsWebAddress(url));
    if (record.nId == currentRecord_) SetWindowTextA(comment_, record.szComments);
}

// ---- The reading thread ----

void CPnPwdBoxCtrl::ReadDBToListView() {
    if (!IsAlive()) return;
    StopThread();  // one reader at a time
    stopReading_ = false;
    HANDLE thread = reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, &CPnPwdBoxCtrl::ThreadReadData, this,
                                                            CREATE_SUSPENDED, nullptr));
    if (!thread) return;
    thread_ = thread;
    ResumeThread(thread);
}

unsigned __stdcall CPnPwdBoxCtrl::ThreadReadData(void* self) {
    try {
        static_cast<CPnPwdBoxCtrl*>(self)->DoThreadReadData();
    } catch (...) {
    }
    // The thread lets go of its own handle unless StopThread already took it.
    if (HANDLE own = static_cast<CPnPwdBoxCtrl*>(self)->thread_.exchange(nullptr)) CloseHandle(own);
    return 0;
}

void CPnPwdBoxCtrl::DoThreadReadData() {
    // The first rows come soon, for a quick first sight of the list; then
    // larger batches, since each one waits for the window thread to take it.
    constexpr size_t kFirstBatch = 256, kBatch = 2048;
    size_t batchSize = kFirstBatch;
    HWND target = hwnd();
    if (!target || !IsWindow(target)) return;
    SendMessageA(target, PBM_REMOVEALLROWS, 0, 0);

    const std::vector<pnstore::GroupRow> groups = pnstore::PwdStore().listGroups();
    std::vector<PbGroupRow> groupRows;
    for (const pnstore::GroupRow& g : groups) groupRows.push_back({g.id, g.name.c_str()});
    std::vector<tagRECORD> records;
    records.reserve(kFirstBatch);
    auto send = [&] {
        PbRowBatch batch{groupRows.data(), groupRows.size(), records.data(), records.size()};
        SendMessageA(target, PBM_ADDROWBATCH, 0, LPARAM(&batch));
        groupRows.clear();  // the groups go with the first batch
        for (tagRECORD& r : records) SecureZeroMemory(r.szPwd, sizeof r.szPwd);
        records.clear();
    };
    pnstore::PwdStore().readLiveRecords([&](const pnstore::ListedRecord& r) {
        if (stopReading_ || !IsWindow(target)) return false;
        records.emplace_back();
        tagRECORD& row = records.back();
        std::memset(&row, 0, sizeof row);
        row.nId = r.id;
        row.nGroup = r.group;
        row.nState = r.damaged ? kRecordDamaged : r.state;
        uikit::CopyUtf8(row.szUser, sizeof row.szUser, r.user.c_str());
        uikit::CopyUtf8(row.szPwd, sizeof row.szPwd, r.damaged ? "" : r.password.c_str());
        uikit::CopyUtf8(row.szUrl, sizeof row.szUrl, r.url.c_str());
        if (records.size() == batchSize) {
            send();
            batchSize = kBatch;
        }
        return true;
    });
    if (!stopReading_ && (!records.empty() || !groupRows.empty())) send();
    for (tagRECORD& r : records) SecureZeroMemory(r.szPwd, sizeof r.szPwd);
}

void CPnPwdBoxCtrl::WipeList() {
    StopThread();
    if (clipboard_.Pending()) clipboard_.Fire();
    list_.RemoveAll();
    damaged_.clear();
    currentRecord_ = currentGroup_ = -1;
    SetWindowTextA(comment_, "");
}

void CPnPwdBoxCtrl::StopThread() {
    HANDLE thread = thread_.exchange(nullptr);
    if (!thread) return;
    stopReading_ = true;
    // The reader may be waiting for this thread to take a row it sent: keep
    // taking sent messages while waiting, for up to 5 s.
    DWORD start = GetTickCount();
    for (;;) {
        DWORD elapsed = GetTickCount() - start;
        if (elapsed >= 5000) break;
        DWORD r = MsgWaitForMultipleObjects(1, &thread, FALSE, 5000 - elapsed, QS_SENDMESSAGE);
        if (r != WAIT_OBJECT_0 + 1) break;
        MSG msg;
        PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
    CloseHandle(thread);
}
