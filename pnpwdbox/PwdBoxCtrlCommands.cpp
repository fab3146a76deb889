// The control's commands on records, groups, the clipboard and the database file.
#include <windows.h>

#include "PNPBResIds.h"
#include "PnPwdBox.h"
#include "PwdBoxCtrl.h"
#include "PwdBoxEnv.h"
#include "PwdStore.h"
#include "RecordDlg.h"
#include "SecretMemory.h"
#include "SmallDialogs.h"
#include "Utf8Text.h"

using pnstore::PwdStore;

void CPnPwdBoxCtrl::OnCommand(UINT id) {
    switch (id) {
    case ID_PB_ADD_RECORD: OnAddRecord(); break;
    case ID_PB_EDIT_RECORD: OnEditPwdRecord(); break;
    case ID_PB_DELETE_RECORD: OnDelRecord(); break;
    case ID_PB_DELETE_GROUP: OnDelGroup(); break;
    case ID_PB_RENAME_GROUP: OnRenameGrp(); break;
    case ID_PB_COLLAPSE_GROUP: OnCollapseGrp(); break;
    case ID_PB_EXPAND_GROUP: OnExpandGrp(); break;
    case ID_PB_EXPAND_ALL: OnExpandAll(); break;
    case ID_PB_COLLAPSE_ALL: OnCollapseAll(); break;
    case ID_PB_COPY_PASSWORD: OnCopyPassword(); break;
    case ID_PB_COPY_USER: OnCopyUser(); break;
    case ID_PB_COPY_URL: OnCopyURL(); break;
    case ID_PB_VIEW_PASSWORD: OnViewPWD(); break;
    case ID_PB_SEARCH: OnSearchRecord(); break;
    case ID_PB_OPEN_DB: OnOpenDBFile(); break;
    case ID_PB_BACKUP: OnBackUPDBFile(); break;
    case ID_PB_CHANGE_PASSWORD: OnChangePwd(); break;
    case ID_PB_GENERATE: OnGenNewPassword(); break;
    case ID_PB_IMPORT_PASSWORDS: OnImportPasswords(); break;
    case ID_PB_EXPORT_PASSWORDS: OnExportPasswords(); break;
    default: break;
    }
}

void CPnPwdBoxCtrl::OnAddRecord() {
    CPwdRecordDlg dialog(hwnd());
    dialog.Run(TopWindow());
}

bool CPnPwdBoxCtrl::RecordUsable(int record) {
    if (!IsDamaged(record)) return true;
    pwdbox::ShowInfo(TopWindow(), IDS_PB_RECORD_DAMAGED, IDS_PB_MESSAGE_TITLE);
    return false;
}

void CPnPwdBoxCtrl::OnEditPwdRecord() {
    if (currentRecord_ < 0 || !list_.HasRecord(currentRecord_) || !RecordUsable(currentRecord_)) return;
    CPwdRecordDlg dialog(hwnd(), currentRecord_, list_.GroupOfRecord(currentRecord_),
                         list_.CellSecondText(currentRecord_, kPasswordColumn));
    dialog.Run(TopWindow());
}

void CPnPwdBoxCtrl::OnDelRecord() {
    int row = list_.SelectedRow();
    if (row < 0) return;
    if (pwdbox::ShowInfo(TopWindow(), IDS_PB_DELETE_RECORD, IDS_PB_CONFIRM_TITLE, MB_OKCANCEL) != IDOK) return;
    int record = list_.RecordKeyOfRow(row);
    if (record < 1) return;
    if (PwdStore().deleteRecords({record}) != 1) {
        pwdbox::ShowInfo(TopWindow(), IDS_PB_STORE_FAILED, IDS_PB_MESSAGE_TITLE);
        return;
    }
    list_.RemoveRecord(record);
    if (currentRecord_ == record) {
        currentRecord_ = -1;
        SetWindowTextA(comment_, "");
    }
}

void CPnPwdBoxCtrl::OnDelGroup() {
    int row = list_.SelectedRow();
    if (row < 0 || !list_.IsGroupRow(row)) return;
    int group = list_.GroupKeyOfRow(row);
    if (list_.GroupHasRecords(group)) {
        pwdbox::ShowInfo(TopWindow(), IDS_PB_GROUP_NOT_EMPTY, IDS_PB_CONFIRM_TITLE);
        list_.OpenGroup(group, true);
        return;
    }
    if (pwdbox::ShowInfo(TopWindow(), IDS_PB_DELETE_GROUP, IDS_PB_CONFIRM_TITLE, MB_YESNO) != IDYES) return;
    if (PwdStore().deleteGroup(group) > 0) {
        list_.RemoveGroup(group);
        return;
    }
    // A row of a group the database does not hold can simply go; a group that
    // is there but could not be deleted is reported.
    std::string name;
    if (PwdStore().readGroupName(group, name) == 0 && PwdStore().probeUserTable())
        list_.RemoveGroup(group);
    else
        pwdbox::ShowInfo(TopWindow(), IDS_PB_STORE_FAILED, IDS_PB_MESSAGE_TITLE);
}

void CPnPwdBoxCtrl::OnRenameGrp() {
    int row = list_.SelectedRow();
    if (row < 0) return;
    int group = list_.GroupKeyOfRow(row);
    if (!rename_) rename_ = std::make_unique<CRenameGroupDlg>(hwnd());
    POINT at;
    GetCursorPos(&at);
    rename_->Open(TopWindow(), group, list_.GroupText(group), at);
}

void CPnPwdBoxCtrl::OnCollapseGrp() {
    if (currentGroup_ >= 0) list_.OpenGroup(currentGroup_, false);
}

void CPnPwdBoxCtrl::OnExpandGrp() {
    if (currentGroup_ >= 0) list_.OpenGroup(currentGroup_, true);
}

void CPnPwdBoxCtrl::OnExpandAll() {
    for (const pnstore::GroupRow& g : PwdStore().listGroups()) list_.OpenGroup(g.id, true);
}

void CPnPwdBoxCtrl::OnCollapseAll() {
    for (const pnstore::GroupRow& g : PwdStore().listGroups()) list_.OpenGroup(g.id, false);
}

void CPnPwdBoxCtrl::CopyCell(int column, size_t limit, bool secret) {
    if (currentRecord_ < 0 || !list_.HasRecord(currentRecord_) || !RecordUsable(currentRecord_)) return;
    std::string text =
        column == kPasswordColumn ? list_.CellSecondText(currentRecord_, column) : list_.CellText(currentRecord_, column);
    if (text.size() > limit) {
        const size_t kept = uikit::Utf8PrefixLength(text, limit);
        pncrypto::Wipe(text.data() + kept, text.size() - kept);  // a cut-off secret stays secret too
        text.resize(kept);
    }
    const bool copied = pwdbox::PutClipboardText(hwnd(), text);
    pncrypto::Wipe(text);
    if (!copied) return;
    // Secrets leave the clipboard again after a while ("clip_clear_seconds",
    // 12 unless set; 0 keeps them).
    if (secret) clipboard_.Arm(hwnd(), UINT(pwdbox::ReadIniInt("clip_clear_seconds", 12)));
}

void CPnPwdBoxCtrl::OnCopyPassword() { CopyCell(kPasswordColumn, 127, true); }
void CPnPwdBoxCtrl::OnCopyUser() { CopyCell(kUserColumn, 127, true); }
void CPnPwdBoxCtrl::OnCopyURL() { CopyCell(kUrlColumn, std::string::npos, false); }

void CPnPwdBoxCtrl::OnViewPWD() {
    if (currentRecord_ < 0 || !list_.HasRecord(currentRecord_) || !RecordUsable(currentRecord_)) return;
    std::string password = list_.CellSecondText(currentRecord_, kPasswordColumn);
    pwdbox::ShowText(TopWindow(), password, pwdbox::ResString(IDS_PB_VIEW_TITLE), MB_OK | MB_ICONINFORMATION);
    pncrypto::Wipe(password);
}

void CPnPwdBoxCtrl::OnSearchRecord() {
    if (!search_) search_ = std::make_unique<CPwdSearchDlg>(hwnd());
    search_->Open(TopWindow());
}

void CPnPwdBoxCtrl::OnOpenDBFile() {
    std::string path;
    if (!pwdbox::ChooseFile(GetActiveWindow(), pwdbox::FileDialogKind::OpenDatabase, path)) return;
    if (path.empty()) {
        pwdbox::ShowInfo(TopWindow(), IDS_PB_EMPTY_FILE_NAME, IDS_PB_MESSAGE_TITLE);
        return;
    }
    const std::string previous = pnstore::databasePathAnsi();
    if (!pnstore::setDatabasePath(path.c_str())) {
        pwdbox::ShowInfo(TopWindow(), IDS_PB_PATH_TOO_LONG, IDS_PB_MESSAGE_TITLE);
        return;
    }
    // A file that is not ours is neither used nor remembered (it would be
    // opened at every start); the box stays with the one it had.
    const pnstore::FileVerdict verdict = pnstore::createSchema(true);
    if (verdict != pnstore::FileVerdict::Usable) {
        pnstore::setDatabasePath(previous.c_str());
        pwdbox::ShowInfo(TopWindow(),
                         verdict == pnstore::FileVerdict::Foreign ? IDS_PB_DB_FOREIGN
                         : verdict == pnstore::FileVerdict::Newer ? IDS_PB_DB_NEWER
                                                                   : IDS_PB_DB_UNREADABLE,
                         IDS_PB_MESSAGE_TITLE);
        return;
    }
    pwdbox::RememberChosenDatabase(path);
    WipeList();
    // Its own master password opens it: a file without one gets it set now,
    // then the box asks for it.
    if (!pnstore::HasMaster()) {
        CSetMainPwdDlg wizard;
        wizard.Run(TopWindow());
    }
    HWND frame = pwdbox::CurrentFrameWindow();
    if (frame && frame == TopWindow()) SendMessageA(frame, WM_COMMAND, ID_PB_LOCK, 0);
}

void CPnPwdBoxCtrl::OnBackUPDBFile() {
    std::string path;
    if (!pwdbox::ChooseFile(GetActiveWindow(), pwdbox::FileDialogKind::BackupDatabase, path) || path.empty()) return;
    // A backup that did not happen must not look as if it had.
    if (!CopyFileA(pnstore::databasePathAnsi().c_str(), path.c_str(), FALSE))
        pwdbox::ShowInfo(TopWindow(), IDS_PB_STORE_FAILED, IDS_PB_MESSAGE_TITLE);
}

void CPnPwdBoxCtrl::OnChangePwd() {
    CChangePwdDlg dialog;
    dialog.Run(TopWindow());
}

void CPnPwdBoxCtrl::OnGenNewPassword() {
    CPwdGeneratorDlg dialog;
    dialog.Run(hwnd());
}

void CPnPwdBoxCtrl::OnSetMainPwd() {
    if (!setMain_) setMain_ = std::make_unique<CSetMainPwdDlg>();
    setMain_->OpenModeless(TopWindow());
}

void CPnPwdBoxCtrl::HideDialogs() {
    if (rename_ && rename_->IsWindowAlive()) ShowWindow(rename_->hwnd(), SW_HIDE);
    if (search_) search_->Destroy();
    if (setMain_) setMain_->Destroy();
}
