// The password box's small dialogs: rename a group (modeless), search by web
// address (modeless), change or set the master password, about, and the
// password generator.
#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "BackgroundJob.h"
#include "Dialog.h"
#include "HyperLink.h"

// Dialog 106: created once, shown again for each rename.
class CRenameGroupDlg : public uikit::Dialog {
public:
    explicit CRenameGroupDlg(HWND control) : control_(control) {}
    // Shows the dialog at `at` (screen) for the group.
    void Open(HWND owner, int group, const std::string& name, POINT at);
    int Group() const { return group_; }

protected:
    INT_PTR OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    void OnOk();
    HWND control_;
    int group_ = -1;
};

// Dialog 107: created on the first search command, destroyed by Close.
class CPwdSearchDlg : public uikit::Dialog {
public:
    explicit CPwdSearchDlg(HWND control) : control_(control) {}
    void Open(HWND owner);
    const std::vector<int32_t>& Matches() const { return matches_; }
    size_t Position() const { return position_; }

protected:
    INT_PTR OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    void OnFind();
    void OnNext();
    HWND control_;
    std::vector<int32_t> matches_;
    size_t position_ = 0;
};

// Dialog 110, modal. The old password is checked and the new one set on a
// thread of their own (two key derivations); the dialog waits meanwhile.
class CChangePwdDlg : public uikit::Dialog {
public:
    INT_PTR Run(HWND owner);

protected:
    INT_PTR OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    void OnOk();
    void OnChanged(int result);
    void Refuse(int textId, int focusId);
    pwdbox::BackgroundJob job_;
};

// Dialog 105, the first-use wizard: modal (its result is the store's, 1 or
// 0) or modeless from the login panel. The password is set on a thread of
// its own (a key derivation); the dialog waits meanwhile.
class CSetMainPwdDlg : public uikit::Dialog {
public:
    INT_PTR Run(HWND owner);
    HWND OpenModeless(HWND owner);
    // Called after a stored master password.
    std::function<void()> onStored;
    // Every wizard that is open ends as if cancelled (unless it is storing a
    // password, which it sees through): the box is going.
    static void CancelOpenWizards() noexcept;

protected:
    INT_PTR OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    void OnOk();
    void OnStored(int result);
    void Close(int result);
    pwdbox::BackgroundJob job_;
};

// Dialog 108, modal.
class CPwdAboutDlg : public uikit::Dialog {
public:
    INT_PTR Run(HWND owner);

protected:
    INT_PTR OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    uikit::CHyperLink link_;  // the product's web address, opened with the shell
};

// Dialog 111, modal: makes passwords from the chosen character classes.
class CPwdGeneratorDlg : public uikit::Dialog {
public:
    INT_PTR Run(HWND owner);

protected:
    INT_PTR OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    void OnInit();
    void RestoreDefaults();
    void OnGenerate();
};

// The master password's texts, checked as every dialog that takes one checks
// them: empty texts, a confirmation that differs, a password the cipher
// cannot hold. 0 when they are fine, otherwise the message to show.
int CheckNewPassword(const std::string& password, const std::string& confirm);
