// The control's import from other managers' files and export for KeePassXC.
// Both files hold passwords in plain text: what is read is erased once used,
// and what is written can be opened by the current Windows user alone.
#include <windows.h>

#include <cstdio>

#include "BoxText.h"
#include "ImportPreviewDlg.h"
#include "PNPBResIds.h"
#include "PasswordFile.h"
#include "PasswordTransfer.h"
#include "PwdBoxCtrl.h"
#include "PwdBoxEnv.h"
#include "SecretFile.h"
#include "SecretMemory.h"
#include "SystemSources.h"

namespace {

static_assert(int(pninterop::ReadProblem::BadTime) == IDS_PB_COL_LINE - IDS_PB_READ_PROBLEM_FIRST,
              "a text for every read problem");

// A numbered text with printf arguments, in a message box of the box.
template <typename... Args>
void ShowFormatted(HWND owner, int textId, Args... args) {
    char text[2048];
    std::snprintf(text, sizeof text, pwdbox::ResString(textId).c_str(), args...);
    pwdbox::ShowText(owner, text, pwdbox::ResString(IDS_PB_MESSAGE_TITLE), MB_OK | MB_ICONINFORMATION);
}

// Why the file cannot be read, and on which line when that is known.
void ShowUnreadable(HWND owner, const pninterop::ReadError& error) {
    const std::string problem = pwdbox::ResString(IDS_PB_READ_PROBLEM_FIRST + int(error.problem) - 1);
    std::string where = problem;
    if (error.line > 0) {
        char text[1024];
        std::snprintf(text, sizeof text, pwdbox::ResString(IDS_PB_IMPORT_ON_LINE).c_str(), error.line,
                      problem.c_str());
        where = text;
    }
    ShowFormatted(owner, IDS_PB_IMPORT_UNREADABLE, where.c_str());
}

void WipeEntries(pninterop::ReadResult& file, pninterop::ImportPlan& plan) {
    for (pninterop::Entry& e : file.entries) pncrypto::Wipe(e.password);
    for (pninterop::PlannedRecord& r : plan.records) pncrypto::Wipe(r.record.password);
}

void SystemRandom(unsigned char* bytes, size_t count) {
    if (!pncrypto::FillFromSystemRandom(bytes, count)) SecureZeroMemory(bytes, count);
}

}  // namespace

bool CPnPwdBoxCtrl::CanAddRecords() {
    pnstore::SessionKeys keys;
    if (!pwdbox::LoggedIn() || !pnstore::CurrentSession(keys)) return false;
    if (!keys.readOnly) return true;
    pwdbox::ShowInfo(TopWindow(), IDS_PB_TRANSFER_READ_ONLY, IDS_PB_MESSAGE_TITLE);
    return false;
}

void CPnPwdBoxCtrl::OnImportPasswords() {
    if (!CanAddRecords()) return;
    std::string path, bytes;
    if (!pwdbox::ChooseFile(GetActiveWindow(), pwdbox::FileDialogKind::ImportPasswords, path) || path.empty()) return;
    const pwdbox::FileRead read = pwdbox::ReadWholeFile(path, pninterop::kMaxFileBytes, bytes);
    if (read != pwdbox::FileRead::Read) {
        if (read == pwdbox::FileRead::TooLarge) ShowUnreadable(TopWindow(), {pninterop::ReadProblem::TooLarge, 0});
        else pwdbox::ShowInfo(TopWindow(), IDS_PB_FILE_NOT_OPENED, IDS_PB_MESSAGE_TITLE);
        return;
    }
    pninterop::ReadResult file = pninterop::ReadPasswordFile(bytes);
    pncrypto::Wipe(bytes);
    pninterop::ImportPlan plan;
    if (!file.ok()) {
        ShowUnreadable(TopWindow(), file.error);
        WipeEntries(file, plan);
        return;
    }
    pninterop::ImportRules rules;
    if (!pnstore::FillImportRules(rules)) {
        pwdbox::ShowInfo(TopWindow(), IDS_PB_STORE_FAILED, IDS_PB_MESSAGE_TITLE);
        WipeEntries(file, plan);
        return;
    }
    rules.toBox = pwdbox::BoxTextFromUtf8;
    // Entries of the file's root group go into a group of its name (a
    // browser's file has none: a name of the box's own).
    rules.rootEntriesGroup = file.rootGroup;
    if (rules.rootEntriesGroup.empty()) pwdbox::Utf8FromBoxText(pwdbox::ResString(IDS_PB_IMPORT_ROOT_GROUP), rules.rootEntriesGroup);
    plan = pninterop::PlanImport(file.entries, rules);

    CImportPreviewDlg preview(file, plan);
    if (preview.Run(TopWindow()) == IDOK && !plan.records.empty()) {
        const pnstore::AddResult added = pnstore::AddPlannedRecords(plan);
        if (added == pnstore::AddResult::Added) {
            OutputDebugStringA("PnPwdBox: records imported\n");
            ReadDBToListView();
            ShowFormatted(TopWindow(), IDS_PB_IMPORT_ADDED, unsigned(plan.records.size()));
        } else {
            pwdbox::ShowInfo(TopWindow(), added == pnstore::AddResult::NoNumbers ? IDS_PB_NO_NUMBERS : IDS_PB_IMPORT_FAILED,
                             IDS_PB_MESSAGE_TITLE);
        }
    }
    WipeEntries(file, plan);
}

void CPnPwdBoxCtrl::OnExportPasswords() {
    if (!pwdbox::LoggedIn() || !pnstore::SessionOpen()) return;
    // The whole warning, before anything else: the file holds every password readable.
    if (pwdbox::ShowText(TopWindow(), pwdbox::ResString(IDS_PB_EXPORT_WARNING), pwdbox::ResString(IDS_PB_MESSAGE_TITLE),
                         MB_YESNO | MB_DEFBUTTON2 | MB_ICONWARNING) != IDYES)
        return;
    std::string path;
    if (!pwdbox::ChooseFile(GetActiveWindow(), pwdbox::FileDialogKind::ExportPasswords, path) || path.empty()) return;
    unsigned char probe[16];
    const bool haveRandom = pncrypto::FillFromSystemRandom(probe, sizeof probe);
    pnstore::ExportFile file;
    // Without random bytes no UUIDs are written, and KeePassXC makes its own.
    if (!pnstore::BuildExportFile(pnstore::ExportFormatOfName(path), pwdbox::Utf8FromBoxText,
                                  haveRandom ? SystemRandom : nullptr, file)) {
        pwdbox::ShowInfo(TopWindow(), IDS_PB_STORE_FAILED, IDS_PB_MESSAGE_TITLE);
        return;
    }
    const bool written = pwdbox::WriteFileForUserOnly(path, file.bytes);
    pncrypto::Wipe(file.bytes);
    if (!written) {
        pwdbox::ShowInfo(TopWindow(), IDS_PB_EXPORT_FAILED, IDS_PB_MESSAGE_TITLE);
        return;
    }
    OutputDebugStringA("PnPwdBox: records exported\n");
    ShowFormatted(TopWindow(), IDS_PB_EXPORT_DONE, unsigned(file.written));
    if (file.leftOut > 0) ShowFormatted(TopWindow(), IDS_PB_EXPORT_LEFT_OUT, unsigned(file.leftOut));
}
