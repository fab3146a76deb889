// The password box's main control: the grouped list above a read-only comment
// pane, every command on records and groups, and the thread that reads the
// database into the list.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <atomic>
#include <memory>
#include <string>
#include <unordered_set>
#include <vector>

#include "Handles.h"
#include "PnPwdBoxApi.h"
#include "PwdClipboard.h"
#include "PwdListView.h"
#include "PwdRecord.h"
#include "Splitter.h"
#include "Window.h"

class CRenameGroupDlg;
class CPwdSearchDlg;
class CSetMainPwdDlg;

class PNPWDBOX_API CPnPwdBoxCtrl : public uikit::Window {
public:
    static constexpr int kPasswordColumn = 2;
    static constexpr int kUserColumn = 1;
    static constexpr int kUrlColumn = 3;

    CPnPwdBoxCtrl();
    ~CPnPwdBoxCtrl() override;

    // A child of `parent`; shown only when asked. A control made with
    // selfDeleting deletes itself when its window is destroyed.
    HWND Create(HWND parent, bool visible, bool selfDeleting = false) noexcept;

    CPNPWDListViewCtrl& List() { return list_; }
    HWND CommentPane() const { return comment_; }
    int CurrentRecord() const { return currentRecord_; }
    int CurrentGroup() const { return currentGroup_; }
    HMENU MainMenu() const { return mainMenu_.get(); }
    HWND SearchDialogWindow() const;
    HWND RenameDialogWindow() const;

    // Commands.
    void OnAddRecord();
    void OnEditPwdRecord();
    void OnDelRecord();
    void OnDelGroup();
    void OnRenameGrp();
    void OnCollapseGrp();
    void OnExpandGrp();
    void OnExpandAll();
    void OnCollapseAll();
    void OnCopyPassword();
    void OnCopyUser();
    void OnCopyURL();
    void OnViewPWD();
    void OnSearchRecord();
    void OnOpenDBFile();
    void OnBackUPDBFile();
    void OnChangePwd();
    void OnGenNewPassword();
    void OnSetMainPwd();
    // Other managers' files (PwdBoxTransfer.cpp): an import previewed, then
    // added in one transaction; an export for KeePassXC, after the warning.
    void OnImportPasswords();
    void OnExportPasswords();
    // Hides the modeless dialogs (the lock).
    void HideDialogs();
    // Everything decrypted goes (the lock): the list's rows, erased first,
    // the comment pane, a password waiting on the clipboard.
    void WipeList();
    // Whether the record was listed as damaged (its MAC did not hold).
    bool IsDamaged(int record) const { return damaged_.count(record) != 0; }

    // Reading the database into the list on a worker thread.
    void ReadDBToListView();
    bool IsReading() const { return thread_.load() != nullptr; }
    // Waits up to 5 s for the reading thread to end.
    void StopThread();

    // Handlers of the private messages.
    LRESULT OnAddGroupChild(WPARAM wp, const tagRECORD* record);
    LRESULT OnAddGroup(int group, const char* name);
    LRESULT OnAddRowBatch(const struct PbRowBatch* batch);
    LRESULT OnDoRenameGrp(const struct PbRenameBlock* block);
    LRESULT OnDoSearchRecord(std::vector<int32_t>* rows, const char* text);
    LRESULT OnSelectListItem(int row);
    void UpdateListItemByPwdRec(const tagRECORD& record);

protected:
    LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;
    void OnFinalMessage() override;

private:
    LRESULT OnCreate();
    void OnDestroy();
    void OnSize(int width, int height);
    void OnCommand(UINT id);
    void OnListNotify(const NMHDR& header);
    void OnClick(int row);
    void OnRightClick(int row);
    void ShowComments(int record);
    void CopyCell(int column, size_t limit, bool secret);
    // False (and the user told) for a record that was listed as damaged.
    bool RecordUsable(int record);
    void OnUpdatePwd(WPARAM wp, LPARAM lp);
    HWND TopWindow() const;
    void AddPlaceholderGroup(int group);
    // Whether records can be added now: unlocked, and not read-only (else said so).
    bool CanAddRecords();

    static unsigned __stdcall ThreadReadData(void* self);
    void DoThreadReadData();

    CPNPWDListViewCtrl list_;
    uikit::HorizontalSplitter splitter_;
    HWND comment_ = nullptr;
    uikit::UniqueHandle<HIMAGELIST, uikit::PtrTraits<HIMAGELIST, ImageList_Destroy>> images_;
    uikit::UniqueMenu mainMenu_;
    uikit::UniqueMenu popups_;
    uikit::UniqueFont groupFont_;
    int currentRecord_ = -1;
    int currentGroup_ = -1;
    std::unordered_set<int> damaged_;
    std::unique_ptr<CRenameGroupDlg> rename_;
    std::unique_ptr<CPwdSearchDlg> search_;
    std::unique_ptr<CSetMainPwdDlg> setMain_;
    pwdbox::ClipboardClearer clipboard_;
    std::atomic<HANDLE> thread_{nullptr};
    std::atomic<bool> stopReading_{false};
    bool closing_ = false;
    bool selfDeleting_ = false;
};
