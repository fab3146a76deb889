#include "SettingsValues.h"

#include "FilledText.h"
#include "StoredNumber.h"

namespace pinora {

std::optional<int> ParseWholeNumber(const std::string& text, int min, int max) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string::npos) return std::nullopt;
    const auto last = text.find_last_not_of(' ');
    const std::string digits = text.substr(first, last - first + 1);
    long value = 0;
    for (char c : digits) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c - '0');
        if (value > max) return std::nullopt;  // also keeps long digit runs from overflowing
    }
    if (value < min) return std::nullopt;
    return static_cast<int>(value);
}

bool FlagIsOn(const std::string& value) { return SettingNumber(value) != 0; }

bool DeletedSticksDisappear(const std::string& value) { return value != "0"; }

NoteFontEntry ParseNoteFont(const std::string& text) {
    NoteFontEntry entry;
    if (text.find_first_not_of(' ') == std::string::npos) {
        entry.leaveAlone = true;
        return entry;
    }
    entry.size = ParseWholeNumber(text, 0, kNoteFontMax);
    return entry;
}

std::string OneLine(const std::string& text) {
    std::string line;
    line.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;  // one space per line break
        line += (c == '\r' || c == '\n' || c == '\t') ? ' ' : c;
    }
    return line;
}

// The library's text is filled by position, never used as a printf format.
std::string PictureHintText(const std::string& text, int maxWidth, int maxHeight) {
    return uikit::FillByPosition(text, {std::to_string(maxWidth), std::to_string(maxHeight)});
}

std::string PictureTooBigText(const std::string& text, int width, int height, int maxWidth, int maxHeight) {
    return uikit::FillByPosition(text, {std::to_string(width), std::to_string(height), std::to_string(maxWidth),
                                        std::to_string(maxHeight)});
}

std::string PictureUnreadableText(const std::string& text, const std::string& path) {
    return uikit::FillByPosition(text, {path});
}

}  // namespace pinora
