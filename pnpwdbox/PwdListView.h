// The password list: the toolkit's grouped list, with clicks passed on to the
// owner, link cells opened in the browser, and Ctrl+F for the search dialog
// wherever the keyboard focus is in the password box's thread.
#pragma once
#include <windows.h>

#include <string>

#include "GroupedList.h"
#include "PnPwdBoxApi.h"

class PNPWDBOX_API CPNPWDListViewCtrl : public uikit::GroupedList {
public:
    CPNPWDListViewCtrl() = default;
    ~CPNPWDListViewCtrl() override;

    // Each setter returns the previous value.
    HWND SetNotifyParent(HWND parent) noexcept;
    HWND GetNotifyParent() const noexcept { return notifyParent_; }
    HMENU SetMainMenu(HMENU menu) noexcept;
    HMENU GetMainMenu() const noexcept { return mainMenu_; }

    // Sends the search command (40003) to the parent while the box is logged in.
    void ShowSearchDialog() noexcept;

    // Whether an address is one the browser may be given: http or https.
    // Anything else (file:, javascript:, a share, a program) is never opened
    // from the list.
    static bool IsWebAddress(const std::string& address) noexcept;

    // Key notices: how many list windows want them, and whether the hook is in.
    static size_t KeyNoticeWindowCount() noexcept;
    static bool KeyHookInstalled() noexcept;

protected:
    LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;
    void OnClickLinkCell(int row, int column, UINT flags) override;
    // The header's clicks and moves, and sorting, change nothing here: rows
    // stay in the order they were added.
    void OnHeaderMouseMove() override {}
    void OnHeaderClicked(int) override {}
    void OnClickCell(int, int) override {}
    void OnHeaderClickForSort(int) override {}
    void ReSortYoxItems() override {}

private:
    LRESULT OnNotify(WPARAM wp, LPARAM lp);
    void OnKeyDown(WPARAM key) noexcept;

    HWND notifyParent_ = nullptr;
    HMENU mainMenu_ = nullptr;
};
