// The sticks page (226): whether deleted sticks leave the calendar at once, the
// quick-note box's font size, and the two configurable hotkeys.
#pragma once
#include <windows.h>

#include <utility>

#include "SettingsPage.h"

namespace pinora {

// The sizes the font box offers; any other whole number may be typed.
constexpr const char* kNoteFontSizes[] = {"7", "8", "9", "10", "12", "14", "16", "18"};

class CSticksPage : public CSettingsPage {
public:
    explicit CSticksPage(SettingsLinks links) : links_(std::move(links)) {}

    void Load() override;
    bool CanApply() override;
    bool Apply() override;

protected:
    INT_PTR OnPageMessage(UINT msg, WPARAM wp, LPARAM lp) override;
    void OnInitPage() override;

private:
    SettingsLinks links_;
};

}  // namespace pinora
