// The wink chooser (218): one row per wink of the catalogue "winkcfg.dat" with
// its number, name and preview. OK hands the chosen wink to the window that
// opened it (WCM_WINKCHOSEN); Play plays it.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "Dialog.h"
#include "Handles.h"
#include "SettingsMessages.h"

namespace pinora {

// The rows are this high, for the previews (pixels of a 96-DPI screen, as the
// columns' widths).
constexpr int kWinkRowHeight = 60;
// The first two columns; the third takes the width that is left but this much.
constexpr int kWinkNumberColumn = 30;
constexpr int kWinkNameColumn = 120;
constexpr int kWinkPreviewColumnShort = 172;

class CWinkChooserDlg : public uikit::Dialog {
public:
    // Made on first use, then shown again: the rows are read anew from the
    // catalogue and nothing is selected. owner hears WCM_WINKCHOSEN.
    HWND Open(HWND owner, const std::string& caption);
    // Cancel: hidden, kept for the next opening.
    void Hide();

    int RowCount() const { return static_cast<int>(rows_.size()); }
    // Selects a row (-1 for none), as a click on it does.
    void SelectRow(int row);
    int SelectedRow() const { return selected_; }
    const WinkChoice& Row(int row) const { return rows_[static_cast<size_t>(row)].choice; }
    const std::string& RowName(int row) const { return rows_[static_cast<size_t>(row)].name; }
    HBITMAP RowPreview(int row) const { return rows_[static_cast<size_t>(row)].preview.get(); }
    HWND List() const { return list_; }

protected:
    INT_PTR OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    struct WinkRow {
        WinkChoice choice;
        std::string name;
        uikit::UniqueBitmap preview;
    };

    BOOL OnInitDialog();
    void CreateList();
    void Fill();
    void OnSelectionChanged();
    void OnOk();
    void DrawRow(const DRAWITEMSTRUCT& item) const;

    std::vector<WinkRow> rows_;
    HWND list_ = nullptr;
    HWND owner_ = nullptr;
    int selected_ = -1;
};

}  // namespace pinora
