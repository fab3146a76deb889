#include "CommonControls.h"

#include <windows.h>
#include <commctrl.h>

namespace uikit {

void EnsureCommonControls() noexcept {
    static bool done = false;
    if (done) return;
    INITCOMMONCONTROLSEX icc = {sizeof icc,
                                ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES | ICC_DATE_CLASSES | ICC_COOL_CLASSES};
    done = InitCommonControlsEx(&icc) != FALSE;
}

}  // namespace uikit
