// The alarm pop-up (dialog 209): slides up at the lower right corner, blinks its
// frame, and on closing with "remind me again" checked moves the alarm by the
// chosen delay.
#pragma once
#include <windows.h>

#include <string>

#include "AlarmCode.h"
#include "Dialog.h"

namespace pinora {

constexpr UINT ADM_SETTEXT = 0x8A8D;
constexpr UINT ADM_SETOWNER = 0x8A8F;

constexpr UINT_PTR kSlideTimer = 1002;
constexpr UINT_PTR kBlinkTimer = 1003;
constexpr COLORREF kFrameColour = 0xCC6600;
constexpr COLORREF kBlinkMagenta = 0xFF00FF;
constexpr COLORREF kBlinkGreen = 0x00FF00;
constexpr int kBlinkEnd = 16;

class CAlarmDlg : public uikit::Dialog {
public:
    // Creates the dialog when it does not exist and takes the alarm it shows.
    // alarmTable is where a snooze is written.
    bool Fill(HWND owner, const AlarmCode& alarm, const std::string& text, int record,
              const std::string& alarmTable);
    // Shows it top-most with its text and starts the slide; then activates it.
    void ShowAndSlide();

    COLORREF FrameColour() const { return frameColour_; }
    int Record() const { return record_; }
    static int& BlinkCounter();

protected:
    INT_PTR OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    BOOL OnInitDialog();
    void OnCommand(UINT id);
    void StartSlide();
    void SlideStep();
    void BlinkStep();
    void PaintFrame();
    void SnoozeIfAsked();

    AlarmCode alarm_;
    char text_[512] = {};
    int record_ = -1;
    bool recordValid_ = false;
    HWND owner_ = nullptr;
    std::string alarmTable_;
    RECT slide_ = {};
    int width_ = 0, height_ = 0, screenWidth_ = 0, screenHeight_ = 0;
    COLORREF frameColour_ = kFrameColour;
};

}  // namespace pinora
