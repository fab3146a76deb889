// A logged-in password box with its control at hand, and the ways the tests
// reach it: commands, clicks on rows, the record dialog.
#pragma once
#include <gtest/gtest.h>

#include <string>

#include "PnPwdBox.h"
#include "PwdBoxCtrl.h"
#include "PwdBoxFrame.h"
#include "PwdBoxTestSupport.h"

namespace pbtest {

class LoggedInBox : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    CPnPwdBoxCtrl& Control() { return pwdbox::CurrentFrame()->Control(); }
    CPNPWDListViewCtrl& List() { return Control().List(); }
    HWND Frame() { return pwdbox::CurrentFrameWindow(); }
    void Command(int id) { SendMessageA(Frame(), WM_COMMAND, WPARAM(id), 0); }
    // Lets the reading thread finish and the list catch up.
    void WaitForList();
    // A click on a row as the list reports it: selects it, then NM_CLICK.
    void ClickRow(int row, int column = 1);
    void RightClickRow(int row);
    // Fills the record dialog (add mode) and saves; Close when `close`.
    void AddThroughDialog(const std::string& url, const std::string& user, const std::string& password,
                          const std::string& group, const std::string& confirm = "", bool close = true);
    int RowOfUser(const std::string& user);
    // One column of the database, for checks.
    std::vector<std::string> Column(const std::string& sql);

    BoxFolder box_;
};

}  // namespace pbtest
