#include <windows.h>

#include "WhenPhrases.h"

namespace pinora {

DateOrder UserDateOrder() {
    // LOCALE_IDATE: 0 month-day-year, 1 day-month-year, 2 year-month-day.
    char order[4] = {};
    if (GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_IDATE, order, sizeof order) > 0) {
        if (order[0] == '0') return DateOrder::MonthDayYear;
        if (order[0] == '2') return DateOrder::YearMonthDay;
    }
    return DateOrder::DayMonthYear;
}

}  // namespace pinora
