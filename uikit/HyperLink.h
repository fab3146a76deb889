// The hyperlink label: a static control turned into a clickable link. Its text
// may mark the link part with <A> and </A>; a click (mouse, Enter or space)
// opens the target with the shell, or instead tells the parent by WM_COMMAND or
// WM_NOTIFY. Link colours follow the user's browser settings in the registry.
#pragma once
#include <windows.h>

#include <string>

#include "Handles.h"

namespace uikit {

struct LinkColours {
    COLORREF normal = RGB(0, 0, 255);
    COLORREF visited = RGB(128, 0, 128);
};

// Where the browser keeps the link colours, as "red,green,blue" strings.
extern const char* const kLinkColourKey;           // under HKEY_CURRENT_USER
extern const char* const kLinkColourValue;         // "Anchor Color"
extern const char* const kVisitedLinkColourValue;  // "Anchor Color Visited"

// Three decimal numbers 0..255 separated by commas ("0,0,255"). False, and
// *colour untouched, for anything else.
bool ParseLinkColour(const char* text, COLORREF* colour) noexcept;
// The defaults, each replaced by the registry value when that one parses.
LinkColours ReadLinkColours() noexcept;

// The label's text in three parts; without tags (or without an <A>) all of it is the link.
struct LinkText {
    std::string before, link, after;
};
LinkText SplitLinkText(const std::string& text, bool useTags);

class CHyperLink {
public:
    enum Options : unsigned {
        kOpenTarget = 0,
        kNotifyParent = 0x1,   // WM_NOTIFY with NM_CLICK instead of opening the target
        kCommandParent = 0x2,  // WM_COMMAND with the control's id instead of opening
        kUseTags = 0x4,        // only the part between <A> and </A> is the link
    };

    CHyperLink() = default;
    ~CHyperLink() { Detach(); }
    CHyperLink(const CHyperLink&) = delete;
    CHyperLink& operator=(const CHyperLink&) = delete;

    // Subclasses an existing static control and takes its text; false when the
    // window does not exist or is already attached.
    bool Attach(HWND label, const char* target, unsigned options = kOpenTarget) noexcept;
    void Detach() noexcept;

    HWND hwnd() const noexcept { return hwnd_; }
    bool Visited() const noexcept { return visited_; }
    const LinkColours& Colours() const noexcept { return colours_; }
    const LinkText& Text() const noexcept { return text_; }
    // Where the link part was last painted, in client coordinates.
    RECT LinkRect() const noexcept { return linkRect_; }
    HWND Tooltip() const noexcept { return tooltip_.get(); }

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id, DWORD_PTR self) noexcept;
    LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp, bool& handled);
    void TakeText();
    void MakeFont();
    void MakeTooltip();
    void Layout(HDC dc);
    void Paint();
    void Click();
    bool OverLink(LPARAM lp) const;

    HWND hwnd_ = nullptr;
    std::string target_;
    unsigned options_ = kOpenTarget;
    LinkText text_;
    LinkColours colours_;
    UniqueFont underlined_;
    UniqueHwnd tooltip_;
    RECT linkRect_ = {};
    bool visited_ = false;
    bool pressed_ = false;
};

}  // namespace uikit
