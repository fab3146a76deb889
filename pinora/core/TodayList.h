// What the today window lists: the sticks dated today, in table order, and the
// rows they take under the agent picture. No drawing here, so the list and its
// layout are tested without a window.
#pragma once
#include <functional>
#include <string>
#include <vector>

namespace pinora {

struct TodayItem {
    std::string text;  // at most 255 characters
    int state = 0;     // STATE as a number
    int left = 0, top = 0, right = 0, bottom = 0;
    bool tall = false;  // drawn wrapped in a 60-pixel row
};

constexpr int kTodayRowHeight = 20;
constexpr int kTodayTallRowHeight = 60;
constexpr int kTodayRowLeft = 15;
constexpr int kTodayFrameTop = 30;
// The text of a row runs from 25 pixels right of its left edge (after the state
// bar) to 5 pixels before its right edge.
constexpr int kTodayTextIndent = 25;
constexpr int kTodayTextRightMargin = 5;

// Sticks of the alarm table whose DATE is today; with a filter other than 0 only
// those whose STATE equals it. A missing table lists nothing.
std::vector<TodayItem> BuildTodayList(const std::string& alarmPath, int todayNumber, int stateFilter);

// Gives each item its row: the first starts 15 pixels below the agent picture;
// an item whose text, measured on one line in the font a short row is drawn in
// (textWidth knows it from the item's state), is wider than the row's text area
// gets a tall row.
void LayoutTodayRows(std::vector<TodayItem>& items, int agentHeight, int clientWidth,
                     const std::function<int(const TodayItem&)>& textWidth);

// Height of the window: the rows, the frame top and the picture.
int TodayWindowHeight(const std::vector<TodayItem>& items, int agentHeight);

}  // namespace pinora
