// The record dialog: a new record (add mode) or the password, address,
// comments and end day of an existing one (edit mode). Modal.
#pragma once
#include <windows.h>

#include <string>

#include "Dialog.h"
#include "SecretMemory.h"
#include "WindowText.h"

class CPwdRecordDlg : public uikit::Dialog {
public:
    static constexpr UINT_PTR kStatusTimer = 1000;
    static constexpr UINT kStatusMs = 3000;

    // Add mode; rows and groups it creates are announced to `control`.
    explicit CPwdRecordDlg(HWND control) : control_(control) {}
    // Edit mode for one record of a group, with its password.
    CPwdRecordDlg(HWND control, int record, int group, std::string password)
        : control_(control), editMode_(true), record_(record), group_(group), password_(std::move(password)) {}

    ~CPwdRecordDlg() override { pncrypto::Wipe(password_); }

    INT_PTR Run(HWND owner);
    bool EditMode() const { return editMode_; }

protected:
    INT_PTR OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    void OnInit();
    void FillGroups();
    void FillForEdit();
    void OnOk();
    bool Validate(std::string& url, std::string& user, std::string& password, std::string& confirm);
    bool ResolveGroup(int& group);
    std::string EndDay();
    void AddRecord(const std::string& url, const std::string& user, const std::string& password, int group);
    void UpdateRecord(const std::string& url, const std::string& password);
    void SwitchToAddMode();
    void ShowStatus(int textId, bool disableOk);
    void ClearFields(std::initializer_list<int> ids);
    std::string Text(int id) const;
    void Refuse(int textId, int focusId);

    HWND control_;
    bool editMode_ = false;
    int record_ = -1;
    int group_ = -1;
    std::string password_;
    // What is stored is saved back as it is unless it was edited.
    uikit::StoredTextEdit url_, comments_;
};
