// The hyperlink label: colours from the browser settings, the link part of its
// text, and what a click does with each option.
#include "HyperLink.h"

#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "CallRecorders.h"

namespace {

using pinora::test::ShellOpenRecorder;
using uikit::CHyperLink;

TEST(LinkColour, ThreeNumbersSeparatedByCommas) {
    COLORREF c = RGB(1, 2, 3);
    EXPECT_TRUE(uikit::ParseLinkColour("0,0,255", &c));
    EXPECT_EQ(c, RGB(0, 0, 255));
    EXPECT_TRUE(uikit::ParseLinkColour(" 12, 34 ,56 ", &c));
    EXPECT_EQ(c, RGB(12, 34, 56));
    for (const char* bad : {"blue", "", "0,0", "0,0,256", "1,2,3,4", "-1,2,3", "1;2;3", "1,,3", "1,2,3x", "0001,2,3"}) {
        c = RGB(9, 9, 9);
        EXPECT_FALSE(uikit::ParseLinkColour(bad, &c)) << bad;
        EXPECT_EQ(c, RGB(9, 9, 9)) << bad;
    }
    EXPECT_FALSE(uikit::ParseLinkColour(nullptr, &c));
}

// Sets the browser's colour values for one test and puts back what was there.
class BrowserColours {
public:
    BrowserColours() { RegCreateKeyExA(HKEY_CURRENT_USER, uikit::kLinkColourKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key_, nullptr); }
    ~BrowserColours() {
        for (const auto& [name, old] : saved_) {
            if (old.has)
                RegSetValueExA(key_, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(old.text.c_str()),
                               static_cast<DWORD>(old.text.size() + 1));
            else
                RegDeleteValueA(key_, name.c_str());
        }
        if (key_) RegCloseKey(key_);
    }
    void Set(const char* name, const char* value) {
        if (!saved_.count(name)) {
            char text[128] = {};
            DWORD size = sizeof text - 1;
            bool has = RegQueryValueExA(key_, name, nullptr, nullptr, reinterpret_cast<BYTE*>(text), &size) == ERROR_SUCCESS;
            saved_[name] = {has, text};
        }
        RegSetValueExA(key_, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value), static_cast<DWORD>(std::strlen(value) + 1));
    }
    void Remove(const char* name) {
        Set(name, "");
        RegDeleteValueA(key_, name);
    }

private:
    struct Old {
        bool has;
        std::string text;
    };
    HKEY key_ = nullptr;
    std::map<std::string, Old> saved_;
};

TEST(LinkColour, RegistryValuesReplaceTheDefaultsOnlyWhenTheyParse) {
    BrowserColours reg;
    reg.Remove(uikit::kLinkColourValue);
    reg.Remove(uikit::kVisitedLinkColourValue);
    uikit::LinkColours defaults = uikit::ReadLinkColours();
    EXPECT_EQ(defaults.normal, uikit::LinkColours{}.normal);
    EXPECT_EQ(defaults.visited, uikit::LinkColours{}.visited);

    reg.Set(uikit::kLinkColourValue, "0,0,255");
    reg.Set(uikit::kVisitedLinkColourValue, "blue");
    uikit::LinkColours read = uikit::ReadLinkColours();
    EXPECT_EQ(read.normal, RGB(0, 0, 255));
    EXPECT_EQ(read.visited, uikit::LinkColours{}.visited);

    reg.Set(uikit::kLinkColourValue, "200,10,20");
    reg.Set(uikit::kVisitedLinkColourValue, "1,2,3");
    read = uikit::ReadLinkColours();
    EXPECT_EQ(read.normal, RGB(200, 10, 20));
    EXPECT_EQ(read.visited, RGB(1, 2, 3));
}

TEST(LinkText, TagsMarkTheLinkPart) {
    uikit::LinkText t = uikit::SplitLinkText("Web: <A>pinora.app</A> (new)", true);
    EXPECT_EQ(t.before, "Web: ");
    EXPECT_EQ(t.link, "pinora.app");
    EXPECT_EQ(t.after, " (new)");
    t = uikit::SplitLinkText("see <a>here", true);  // no closing tag: to the end
    EXPECT_EQ(t.before, "see ");
    EXPECT_EQ(t.link, "here");
    t = uikit::SplitLinkText("no tags at all", true);
    EXPECT_EQ(t.link, "no tags at all");
    t = uikit::SplitLinkText("Web: <A>pinora.app</A>", false);  // tags are text without the option
    EXPECT_EQ(t.link, "Web: <A>pinora.app</A>");
    EXPECT_EQ(t.before, "");
}

struct ParentLog {
    std::vector<UINT> notifyCodes;
    std::vector<WPARAM> commands;
};
ParentLog g_parent;

LRESULT CALLBACK ParentProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NOTIFY) {
        const auto* hdr = reinterpret_cast<const NMHDR*>(lp);
        if (hdr->idFrom == 77) g_parent.notifyCodes.push_back(hdr->code);
        return 0;
    }
    if (msg == WM_COMMAND) {
        g_parent.commands.push_back(wp);
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wp, lp);
}

class HyperLinkTest : public ::testing::Test {
protected:
    void SetUp() override {
        g_parent = ParentLog{};
        WNDCLASSA wc = {};
        wc.lpfnWndProc = ParentProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "PN_LINKTESTPARENT";
        RegisterClassA(&wc);
        parent.reset(CreateWindowA("PN_LINKTESTPARENT", "", WS_POPUP | WS_VISIBLE, 0, 0, 300, 100, nullptr, nullptr,
                                   wc.hInstance, nullptr));
        label = CreateWindowA("STATIC", "Web: <A>pinora.app</A> today", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 10, 10,
                              250, 20, parent.get(), reinterpret_cast<HMENU>(77), wc.hInstance, nullptr);
    }
    LPARAM LinkCentre() const {
        RECT r = link.LinkRect();
        return MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    }
    void ClickAt(LPARAM at) {
        SendMessageA(label, WM_LBUTTONDOWN, MK_LBUTTON, at);
        SendMessageA(label, WM_LBUTTONUP, 0, at);
    }
    uikit::UniqueHwnd parent;
    HWND label = nullptr;
    CHyperLink link;
};

TEST_F(HyperLinkTest, ClickOnTheLinkOpensTheTargetAndMarksItVisited) {
    ShellOpenRecorder shell;
    ASSERT_TRUE(link.Attach(label, "https://pinora.app/", CHyperLink::kUseTags));
    EXPECT_FALSE(link.Attach(label, "again"));
    RECT r = link.LinkRect();
    EXPECT_GT(r.left, 0);  // "Web: " comes first
    EXPECT_GT(r.right, r.left);
    EXPECT_EQ(SendMessageA(label, WM_NCHITTEST, 0, 0), HTCLIENT);

    ClickAt(MAKELPARAM(1, 1));  // on "Web: ", not the link
    ClickAt(MAKELPARAM(r.right + 40, 5));
    EXPECT_TRUE(shell.Calls().empty());

    ClickAt(LinkCentre());
    ASSERT_EQ(shell.Calls().size(), 1u);
    EXPECT_EQ(shell.Calls()[0].file, "https://pinora.app/");
    EXPECT_TRUE(link.Visited());

    // The tooltip names the target.
    ASSERT_NE(link.Tooltip(), nullptr);
    EXPECT_EQ(SendMessageA(link.Tooltip(), TTM_GETTOOLCOUNT, 0, 0), 1);
}

TEST_F(HyperLinkTest, ReleasingOutsideTheLinkOrAFailedOpenIsNotAVisit) {
    ShellOpenRecorder failing(2);  // the shell's "file not found"
    ASSERT_TRUE(link.Attach(label, "https://pinora.app/", CHyperLink::kUseTags));
    SendMessageA(label, WM_LBUTTONDOWN, MK_LBUTTON, LinkCentre());
    SendMessageA(label, WM_LBUTTONUP, 0, MAKELPARAM(1, 1));  // dragged off before release
    EXPECT_TRUE(failing.Calls().empty());
    ClickAt(LinkCentre());
    EXPECT_EQ(failing.Calls().size(), 1u);
    EXPECT_FALSE(link.Visited());
}

TEST_F(HyperLinkTest, EnterAndSpaceClickWhenTheLabelHasTheKeyboard) {
    ShellOpenRecorder shell;
    ASSERT_TRUE(link.Attach(label, "https://pinora.app/"));
    MSG enter = {label, WM_KEYDOWN, VK_RETURN, 0, 0, {}};
    EXPECT_TRUE(SendMessageA(label, WM_GETDLGCODE, VK_RETURN, reinterpret_cast<LPARAM>(&enter)) & DLGC_WANTMESSAGE);
    SendMessageA(label, WM_CHAR, VK_RETURN, 1);
    SendMessageA(label, WM_CHAR, VK_SPACE, 1);
    SendMessageA(label, WM_CHAR, 'x', 1);
    EXPECT_EQ(shell.Calls().size(), 2u);
}

TEST_F(HyperLinkTest, NotifyAndCommandOptionsTellTheParentInstead) {
    ShellOpenRecorder shell;
    ASSERT_TRUE(link.Attach(label, "https://pinora.app/", CHyperLink::kNotifyParent | CHyperLink::kUseTags));
    ClickAt(LinkCentre());
    ASSERT_EQ(g_parent.notifyCodes.size(), 1u);
    EXPECT_EQ(g_parent.notifyCodes[0], static_cast<UINT>(NM_CLICK));
    link.Detach();

    ASSERT_TRUE(link.Attach(label, "https://pinora.app/", CHyperLink::kCommandParent | CHyperLink::kUseTags));
    SendMessageA(label, WM_CHAR, VK_RETURN, 1);
    ASSERT_EQ(g_parent.commands.size(), 1u);
    EXPECT_EQ(g_parent.commands[0], 77u);
    EXPECT_TRUE(shell.Calls().empty());
    EXPECT_FALSE(link.Visited());
}

TEST_F(HyperLinkTest, DestroyingTheLabelDetachesIt) {
    ASSERT_TRUE(link.Attach(label, "https://pinora.app/"));
    HWND tip = link.Tooltip();
    DestroyWindow(label);
    EXPECT_EQ(link.hwnd(), nullptr);
    EXPECT_FALSE(IsWindow(tip));
}

}  // namespace
