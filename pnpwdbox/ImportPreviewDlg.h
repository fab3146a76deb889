// Dialog 115: what an import would do, shown before anything is written — how
// many records go into which groups, the first of them, how many are skipped
// as already there or deleted in the other program, and every entry the box
// cannot take unchanged, with its line in the file and why. Import (IDOK) is
// offered only when there is something to add.
#pragma once
#include <windows.h>

#include <string>

#include "BoxImport.h"
#include "Dialog.h"

class CImportPreviewDlg : public uikit::Dialog {
public:
    // At most this many records, and refused entries, are listed (the
    // counts above the lists are whole).
    static constexpr size_t kListedRecords = 100;
    static constexpr size_t kListedRefusals = 1000;

    CImportPreviewDlg(const pninterop::ReadResult& file, const pninterop::ImportPlan& plan) : file_(file), plan_(plan) {}
    INT_PTR Run(HWND owner);

    // Why an entry is refused, in words: its problems, then the fields they were found in.
    static std::string WhyRefused(const pninterop::RefusedEntry& refusal);

protected:
    INT_PTR OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    void OnInit();
    void FillRecords();
    void FillRefused();

    const pninterop::ReadResult& file_;
    const pninterop::ImportPlan& plan_;
};
