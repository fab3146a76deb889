// A small RTF document: what the notes export writes when no word processor can
// be driven. Text is typed as it would be into a word processor's selection;
// italics, once switched on, stay on.
#pragma once
#include <string>

namespace pinora {

class RtfDocument {
public:
    // Appends text: CR LF, CR or LF alone each end a paragraph; braces and
    // backslashes are escaped; everything outside ASCII goes as a Unicode escape.
    void TypeText(const std::u16string& text);
    void SetItalic();
    // The whole document, closed.
    std::string Text() const;

private:
    void Control(const char* word);
    std::string body_;
    bool italic_ = false;
};

}  // namespace pinora
