// The skin chooser (dialog 212): the skins found in the skins folder, a preview
// picture of the one selected, and OK to make it the current skin.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "Dialog.h"
#include "Handles.h"

namespace pinora {

// The preview picture sits this far inside the frame on every side.
constexpr int kSkinPreviewInset = 15;

class CSkinChooserDlg : public uikit::Dialog {
public:
    // Opens the chooser as a modal dialog over the owner.
    static INT_PTR Run(HWND owner);

    // Draws the frame and, 15 pixels inside it, the preview copied unscaled from its
    // top-left corner.
    void DrawPreview(HDC dc, const RECT& frame) const;

    // What tests look at.
    HBITMAP Preview() const { return preview_.get(); }
    std::string SelectedName() const;
    std::string SelectedFile() const;

protected:
    INT_PTR OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    BOOL OnInitDialog();
    void FillList();
    void SelectCurrentSkin(const std::string& currentName);
    void ShowPreviewOf(const std::string& skinFile);
    void OnOk();
    void Close(INT_PTR result);

    std::vector<std::string> files_;  // the entries' library paths, by item data
    uikit::UniqueBitmap preview_;
};

}  // namespace pinora
