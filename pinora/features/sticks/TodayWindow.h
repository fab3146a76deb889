// The today window: a borderless, partly transparent list of today's sticks
// under the agent picture, at the upper right of the desktop.
#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "Handles.h"
#include "TodayList.h"

namespace pinora {

constexpr COLORREF kTodayFrameColour = 0xCC6600;
constexpr COLORREF kTodayKeyDefault = 0xFF00FF;
constexpr int kTodayWidth = 300;
constexpr int kAgentLeft = 20;

class CTodayWnd {
public:
    CTodayWnd() = default;
    ~CTodayWnd();
    CTodayWnd(const CTodayWnd&) = delete;
    CTodayWnd& operator=(const CTodayWnd&) = delete;

    // Creates the window (visible, at 10, 20, 290 x 380) and builds its list from
    // the alarm table. menu and agent are lent (either may be null).
    HWND Create(HWND owner, HMENU menu, HBITMAP agent, int stateFilter, const std::string& alarmTable);
    // Draws it into its layered surface and places it at the upper right.
    void Draw();
    // Moves it (top left corner), kept inside the work area of the monitor
    // nearest that place.
    void MoveTo(POINT topLeft);
    // Called with its top-left corner after the user dragged it.
    void SetMovedHandler(std::function<void(POINT)> moved) { moved_ = std::move(moved); }
    void Destroy();
    // The day (yyyyMMdd as a number) whose sticks it lists.
    int BuiltForDate() const { return builtFor_; }

    HWND hwnd() const { return hwnd_; }
    bool IsAlive() const { return hwnd_ != nullptr && IsWindow(hwnd_); }
    const std::vector<TodayItem>& Items() const { return layout_; }
    size_t DrawnCount() const { return drawn_.size(); }
    COLORREF KeyColour() const;
    int AgentWidth() const;
    int AgentHeight() const;

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) noexcept;
    static const char* ClassName();
    LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp);
    void OnCreate();
    void OnDestroy();
    void BuildList();
    void DrawItem(HDC dc, const TodayItem& item);
    const TodayItem* ItemAt(POINT at) const;
    // A point of the client area in the layout's 96-DPI pixels.
    POINT ToLayout(POINT client) const;
    void OnMouseMove(POINT client);
    void DragWindow();
    void ShowModeMenu(POINT client);
    LRESULT OnNotify(NMHDR* header);
    // While dragged: inside the monitor under the cursor, so it can go from one
    // monitor to another but never off them.
    static void KeepOnMonitor(RECT* rc);

    HWND hwnd_ = nullptr;
    HWND owner_ = nullptr;
    HWND tooltip_ = nullptr;
    HMENU menu_ = nullptr;
    HBITMAP agent_ = nullptr;
    int filter_ = 1;
    int builtFor_ = 0;
    std::string alarmTable_;
    std::vector<TodayItem> layout_;
    std::vector<TodayItem> drawn_;
    uikit::UniqueBitmap offscreen_;
    std::string tipText_;
    std::function<void(POINT)> moved_;
    const TodayItem* hover_ = nullptr;
    int dpi_ = 96;  // the screen's, when last drawn
};

}  // namespace pinora
