#include "RtfWriter.h"

#include <cstdint>
#include <cstdio>

namespace pinora {

void RtfDocument::Control(const char* word) {
    // The space ends the control word and is not part of the text.
    body_ += word;
    body_ += ' ';
}

void RtfDocument::TypeText(const std::u16string& text) {
    for (size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (c == u'\r' || c == u'\n') {
            if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') ++i;
            Control("\\par");
            body_ += "\r\n";  // a line end in the file itself, for whoever reads it raw
        } else if (c == u'\t') {
            Control("\\tab");
        } else if (c == u'\\' || c == u'{' || c == u'}') {
            body_ += '\\';
            body_ += static_cast<char>(c);
        } else if (c >= 0x20 && c < 0x7F) {
            body_ += static_cast<char>(c);
        } else {
            // \uN takes a signed 16-bit number; the '?' is what readers without
            // Unicode show instead (\uc1 in the header says it is one character).
            char escape[16];
            std::snprintf(escape, sizeof escape, "\\u%d?", static_cast<int>(static_cast<int16_t>(c)));
            body_ += escape;
        }
    }
}

void RtfDocument::SetItalic() {
    if (italic_) return;
    italic_ = true;
    Control("\\i");
}

std::string RtfDocument::Text() const {
    return "{\\rtf1\\ansi\\deff0\\uc1{\\fonttbl{\\f0\\fswiss Arial;}}\\f0\\fs20\r\n" + body_ + "}\r\n";
}

}  // namespace pinora
