#include "TodayList.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "AlarmStore.h"
#include "StickTableLayouts.h"
#include "TableScan.h"

namespace pinora {

std::vector<TodayItem> BuildTodayList(const std::string& alarmPath, int todayNumber, int stateFilter) {
    std::vector<TodayItem> items;
    {
        FileDBF check;
        if (!OpenToRead(check, alarmPath, kAlarmTableLayout, kAlarmTableFieldCount)) return items;
    }
    TableScan table;
    if (!table.Open(alarmPath)) return items;
    char today[16];
    std::snprintf(today, sizeof today, "%d", todayNumber);
    char date[16], state[8], text[kLongestAlarmField + 1];
    const long count = table.Records();
    for (long r = 1; r <= count; ++r) {
        if (!table.Go(r) || !table.ReadField(kAlarmDate, date, sizeof date) ||
            !table.ReadField(kAlarmState, state, sizeof state))
            continue;
        if (std::strcmp(date, today) != 0) continue;
        const int stateNumber = std::atoi(state);
        if (stateFilter != 0 && stateNumber != stateFilter) continue;
        if (!table.ReadField(kAlarmStick, text, sizeof text)) continue;
        TodayItem item;
        item.text.assign(text, std::strlen(text) < 255 ? std::strlen(text) : 255);
        item.state = stateNumber;
        items.push_back(std::move(item));
    }
    return items;
}

void LayoutTodayRows(std::vector<TodayItem>& items, int agentHeight, int clientWidth,
                     const std::function<int(const TodayItem&)>& textWidth) {
    int top = 15 + agentHeight;
    for (TodayItem& item : items) {
        item.left = kTodayRowLeft;
        item.right = clientWidth;
        item.top = top;
        const int textArea = (item.right - kTodayTextRightMargin) - (item.left + kTodayTextIndent);
        item.tall = textWidth && textWidth(item) > textArea;
        item.bottom = top + (item.tall ? kTodayTallRowHeight : kTodayRowHeight);
        top = item.bottom;
    }
}

int TodayWindowHeight(const std::vector<TodayItem>& items, int agentHeight) {
    int rows = 0;
    for (const TodayItem& item : items) rows += item.bottom - item.top;
    return rows + kTodayFrameTop + agentHeight;
}

}  // namespace pinora
