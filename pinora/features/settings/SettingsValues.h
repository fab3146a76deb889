// What the settings pages accept and how they read stored values, without a
// window: typed numbers, flags, and texts that must stay on one line of the
// settings file.
#pragma once
#include <optional>
#include <string>

namespace pinora {

// The rest period in minutes: the spin offers 0 to 150 and starts at 45; typed
// values up to 999 are kept (the rest check reads three digits).
constexpr int kRestPeriodSpinMax = 150;
constexpr int kRestPeriodStart = 45;
constexpr int kRestPeriodMax = 999;
// The quick-note font height in pixels; 0 asks for the standard font.
constexpr int kNoteFontMax = 72;
// What the edit boxes take, as the keys are stored.
constexpr int kRestPeriodTextLength = 7;
constexpr int kNoteFontTextLength = 11;
constexpr int kTipTextLength = 510;  // "tip_text" is read back through a 511-byte buffer

// Digits only (spaces around them allowed), within [min, max]; nothing otherwise.
std::optional<int> ParseWholeNumber(const std::string& text, int min, int max);

// A flag as the pages show it: a number other than 0 ("1", "2"; "" and "x" are off).
bool FlagIsOn(const std::string& value);

// "del_stick_directly" as the calendar reads it: only "0" keeps deleted sticks listed.
bool DeletedSticksDisappear(const std::string& value);

// The note-font box: empty leaves "note_font" alone; otherwise a size or nothing
// valid.
struct NoteFontEntry {
    bool leaveAlone = false;
    std::optional<int> size;
};
NoteFontEntry ParseNoteFont(const std::string& text);

// A text that must stay one value of the settings file: every line break (and
// tab) becomes a space, so the file gains no line of its own.
std::string OneLine(const std::string& text);

// The general page's texts about the agent picture, from the resource library's
// text (`text`) and what they name.
std::string PictureHintText(const std::string& text, int maxWidth, int maxHeight);
std::string PictureTooBigText(const std::string& text, int width, int height, int maxWidth, int maxHeight);
std::string PictureUnreadableText(const std::string& text, const std::string& path);

}  // namespace pinora
