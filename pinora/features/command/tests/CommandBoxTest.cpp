// The note box as a command line and the word box, on plain windows: what the
// parent is told, and what stays in the boxes.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "CommandBox.h"
#include "CommandRules.h"
#include "Handles.h"
#include "WinTestSupport.h"

namespace pinora {
namespace {

struct Notice {
    HWND from;
    UINT_PTR id;
    UINT code;
};
std::vector<Notice> g_notices;

LRESULT CALLBACK ParentProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NOTIFY) {
        const auto* hdr = reinterpret_cast<const NMHDR*>(lp);
        g_notices.push_back({hdr->hwndFrom, hdr->idFrom, hdr->code});
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wp, lp);
}

class CommandBoxTest : public ::testing::Test {
protected:
    void SetUp() override {
        g_notices.clear();
        WNDCLASSA wc = {};
        wc.lpfnWndProc = ParentProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "PN_COMMANDBOXTEST";
        RegisterClassA(&wc);
        parent.reset(CreateWindowA("PN_COMMANDBOXTEST", "", WS_POPUP, 0, 0, 300, 200, nullptr, nullptr,
                                   wc.hInstance, nullptr));
        note = CreateWindowA("EDIT", "", WS_CHILD | ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN, 0, 0, 200, 60, parent.get(),
                             reinterpret_cast<HMENU>(1001), wc.hInstance, nullptr);
        words = CreateWindowA("EDIT", "", WS_CHILD | ES_AUTOHSCROLL, 0, 70, 200, 20, parent.get(),
                              reinterpret_cast<HMENU>(1075), wc.hInstance, nullptr);
        ASSERT_TRUE(AttachCommandWords(note));
        ASSERT_TRUE(AttachWordBox(words, "Input words then enter!", 1074));
    }
    // As typed: the caret at the end of the text.
    void Type(const char* text) {
        SetWindowTextA(note, text);
        SendMessageA(note, EM_SETSEL, 0x7FFF, 0x7FFF);
    }
    void Enter() { SendMessageA(note, WM_CHAR, VK_RETURN, 1); }
    static std::string Text(HWND box) {
        char buf[256] = {};
        GetWindowTextA(box, buf, sizeof buf);
        return buf;
    }

    uikit::UniqueHwnd parent;
    HWND note = nullptr;
    HWND words = nullptr;
};

TEST_F(CommandBoxTest, EnterOnACommandWordTellsTheParentThenBreaksTheLine) {
    Type("Calc");
    Enter();
    ASSERT_EQ(g_notices.size(), 1u);
    EXPECT_EQ(g_notices[0].from, note);
    EXPECT_EQ(g_notices[0].id, 1001u);
    EXPECT_EQ(g_notices[0].code, kCmdCalculator);
    EXPECT_EQ(Text(note), "Calc\r\n");

    Enter();  // "Calc\r\n" is still the word
    EXPECT_EQ(g_notices.size(), 2u);
    Enter();  // two line breaks are a note
    EXPECT_EQ(g_notices.size(), 2u);
    EXPECT_EQ(Text(note), "Calc\r\n\r\n\r\n");
}

TEST_F(CommandBoxTest, NotesAndTextPutInWithoutEnterRunNothing) {
    Type("calc now");
    Enter();
    Type(" stk");
    Enter();
    // Dropped or pasted text arrives as a replacement of the selection.
    SetWindowTextA(note, "");
    SendMessageA(note, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>("cmd"));
    SendMessageA(note, WM_CHAR, 'x', 1);
    SendMessageA(note, WM_CHAR, VK_BACK, 1);
    EXPECT_TRUE(g_notices.empty());
    EXPECT_EQ(Text(note), "cmd");
}

TEST_F(CommandBoxTest, WordBoxHintGoesOnClickButTypedWordsStay) {
    EXPECT_EQ(Text(words), "Input words then enter!");
    EXPECT_EQ(WordBoxWords(words), "");  // the hint is not something to look up

    SendMessageA(words, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    SendMessageA(words, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    EXPECT_EQ(Text(words), "");
    EXPECT_EQ(GetFocus(), words);

    SetWindowTextA(words, "two words");
    EXPECT_EQ(WordBoxWords(words), "two words");
    SendMessageA(words, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    SendMessageA(words, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    EXPECT_EQ(Text(words), "two words");

    EXPECT_EQ(WordBoxWords(nullptr), "");
}

}  // namespace
}  // namespace pinora
