// The day list (dialog 211): every stick text of one day, one per line in the
// list and all together in the text box below. Created on first use, then shown
// and hidden.
#pragma once
#include <windows.h>

#include "CalendarModel.h"
#include "Dialog.h"

namespace pinora {

class CDayListDlg : public uikit::Dialog {
public:
    // Creates it once, centred on the window given; then it is only shown again.
    HWND Open(HWND owner, HWND centreOn);

protected:
    INT_PTR OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    void ShowDay(const char* alarmPath, const DayDate* date);
};

}  // namespace pinora
