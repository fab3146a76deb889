// Messages inside the settings dialog: between the frame and its pages, and from
// the wink chooser to the page that opened it.
#pragma once
#include <windows.h>

namespace pinora {

constexpr UINT SPM_APPLY = 0x8D49;       // to each page: write the page's values
constexpr UINT SPM_GETMAINWND = 0x8D4A;  // to the settings dialog: returns the main window
constexpr UINT WCM_WINKCHOSEN = 0x8DAD;  // to the chooser's owner: lParam points to a WinkChoice

constexpr int kWinkPathLength = 256;     // the catalogue's RESFILE keeps 255 characters
constexpr int kWinkPreviewBitmap = 103;  // a wink file's preview picture

// One wink of the catalogue: the movie's resource number and the wink file.
struct WinkChoice {
    int code = 0;
    char path[kWinkPathLength] = {};
};

}  // namespace pinora
