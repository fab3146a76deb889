// The alarm pop-up (dialog 209): slides up at the lower right corner, blinks its
// frame, and on closing with "remind me again" checked moves the alarm by the
// chosen delay. One per due alarm: several stack up from the corner.
#pragma once
#include <windows.h>

#include <functional>
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
    // alarmTable is where a snooze is written. An out-of-date notice offers no
    // snooze: its alarm is over.
    bool Fill(HWND owner, const AlarmCode& alarm, const std::string& text, int record,
              const std::string& alarmTable, bool outOfDate = false);
    // Its place among the pop-ups on the screen: slot 0 rests at the lower right
    // corner, each further slot above the one before (a new column to the left
    // when the screen is full).
    void SetStackSlot(int slot) { slot_ = slot < 0 ? 0 : slot; }
    int StackSlot() const { return slot_; }
    // Shows it top-most with its text and starts the slide on the monitor the
    // user works on (the cursor's); then activates it. Shown already, it takes
    // the new text and blinks again where it is. quiet: while the user is busy,
    // it neither takes the activation nor the focus, now or when it blinks.
    void ShowAndSlide(bool quiet = false);
    bool Quiet() const { return quiet_; }
    // Up at its place (the blink may still run).
    bool SlidUp() const { return slid_; }
    // The displays changed: it goes to its place on the cursor's monitor.
    void KeepOnScreen();
    // Its stick was rewritten or deleted meanwhile: a snooze would undo that.
    void ForgetRecord();
    // Called after a snooze was written.
    void SetSnoozedHandler(std::function<void()> handler) { snoozed_ = std::move(handler); }

    COLORREF FrameColour() const { return frameColour_; }
    int Record() const { return record_; }
    bool IsOutOfDateNotice() const { return outOfDate_; }
    int BlinkCounter() const { return blinkCounter_; }

protected:
    INT_PTR OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    BOOL OnInitDialog();
    void OnCommand(UINT id);
    void OfferSnooze(bool offered);
    void StartSlide();
    // Where it rests on the cursor's monitor, by its stack slot.
    RECT RestRect() const;
    void StartBlink();
    void SlideStep();
    void BlinkStep();
    void PaintFrame();
    void SnoozeIfAsked();
    bool StillTheAlarmShown() const;

    AlarmCode alarm_;
    char text_[512] = {};
    int record_ = -1;
    bool recordValid_ = false;
    bool outOfDate_ = false;
    HWND owner_ = nullptr;
    std::string alarmTable_;
    std::function<void()> snoozed_;
    int slot_ = 0;
    bool slid_ = false;      // up at its place
    bool quiet_ = false;
    int restTop_ = 0;        // the slide stops above this
    RECT slide_ = {};
    int width_ = 0, height_ = 0;
    COLORREF frameColour_ = kFrameColour;
    int blinkCounter_ = 1;   // each pop-up blinks its own full round
};

}  // namespace pinora
