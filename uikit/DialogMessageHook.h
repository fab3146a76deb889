// Tab, Enter and Escape in the modeless dialogs of a library whose host runs
// its own message loop: a per-thread message hook hands each message taken
// from the queue to this module's modeless dialogs (uikit::PreTranslate) and
// turns it into WM_NULL when one of them used it. Counted: the hook stays
// while any window that asked for it lives.
#pragma once
#include <windows.h>

namespace uikit {

bool AcquireDialogMessageHook() noexcept;
void ReleaseDialogMessageHook() noexcept;
bool DialogMessageHookInstalled() noexcept;

}  // namespace uikit
