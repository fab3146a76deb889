#include "FileText.h"

namespace pninterop {

size_t DecodeUtf8(std::string_view text, uint32_t& codePoint) {
    if (text.empty()) return 0;
    const auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char first = byte(0);
    if (first < 0x80) {
        codePoint = first;
        return 1;
    }
    size_t length;
    uint32_t value;
    if (first >= 0xC2 && first <= 0xDF) {
        length = 2;
        value = first & 0x1F;
    } else if (first >= 0xE0 && first <= 0xEF) {
        length = 3;
        value = first & 0x0F;
    } else if (first >= 0xF0 && first <= 0xF4) {
        length = 4;
        value = first & 0x07;
    } else {
        return 0;  // a continuation byte, an overlong lead (C0, C1) or past F4
    }
    if (text.size() < length) return 0;
    for (size_t i = 1; i < length; ++i) {
        if ((byte(i) & 0xC0) != 0x80) return 0;
        value = (value << 6) | (byte(i) & 0x3F);
    }
    static const uint32_t kSmallest[5] = {0, 0, 0x80, 0x800, 0x10000};
    if (value < kSmallest[length] || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return 0;
    codePoint = value;
    return length;
}

bool IsXmlChar(uint32_t cp) {
    return cp == 0x9 || cp == 0xA || cp == 0xD || (cp >= 0x20 && cp <= 0xD7FF) || (cp >= 0xE000 && cp <= 0xFFFD) ||
           (cp >= 0x10000 && cp <= 0x10FFFF);
}

bool HoldsOnlyXmlChars(std::string_view text) {
    while (!text.empty()) {
        uint32_t cp;
        const size_t n = DecodeUtf8(text, cp);
        if (n == 0 || !IsXmlChar(cp)) return false;
        text.remove_prefix(n);
    }
    return true;
}

bool SkipByteOrderMark(std::string_view& text) {
    if (text.size() >= 2 && ((text[0] == '\xFF' && text[1] == '\xFE') || (text[0] == '\xFE' && text[1] == '\xFF')))
        return false;
    if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
    return true;
}

ReadError CheckFileText(std::string_view text, bool xml) {
    LineCounter lines(text);
    size_t at = 0;
    while (at < text.size()) {
        uint32_t cp;
        const size_t n = DecodeUtf8(text.substr(at), cp);
        if (n == 0) return {ReadProblem::NotUtf8, lines.lineAt(at)};
        if (cp == 0 || (xml && !IsXmlChar(cp))) return {ReadProblem::ControlCharacter, lines.lineAt(at)};
        at += n;
    }
    return {};
}

int LineCounter::lineAt(size_t offset) {
    if (offset > text_.size()) offset = text_.size();
    for (; counted_ < offset; ++counted_) {
        const char c = text_[counted_];
        if (c == '\n' || (c == '\r' && (counted_ + 1 >= text_.size() || text_[counted_ + 1] != '\n'))) ++line_;
    }
    return line_;
}

std::string WithUnixLineBreaks(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r') {
            out += text[i];
        } else {
            out += '\n';
            if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
        }
    }
    return out;
}

const char* ProblemName(ReadProblem problem) {
    switch (problem) {
        case ReadProblem::None: return "none";
        case ReadProblem::TooLarge: return "too large";
        case ReadProblem::Utf16: return "UTF-16";
        case ReadProblem::NotUtf8: return "not UTF-8";
        case ReadProblem::ControlCharacter: return "control character";
        case ReadProblem::Empty: return "empty";
        case ReadProblem::UnclosedQuote: return "unclosed quote";
        case ReadProblem::TextAfterQuote: return "text after a closing quote";
        case ReadProblem::RowLength: return "row length";
        case ReadProblem::NoPasswordColumn: return "no password column";
        case ReadProblem::XmlSyntax: return "XML syntax";
        case ReadProblem::XmlDoctype: return "XML document type";
        case ReadProblem::XmlEntity: return "XML entity";
        case ReadProblem::XmlTagMismatch: return "XML tag mismatch";
        case ReadProblem::XmlUnclosed: return "XML element not closed";
        case ReadProblem::XmlTooDeep: return "XML too deep";
        case ReadProblem::NotKeePassXml: return "not KeePass XML";
        case ReadProblem::BadTime: return "bad time";
    }
    return "?";
}

ReadError OpenFileText(std::string_view& bytes, bool xml) {
    if (bytes.size() > kMaxFileBytes) return {ReadProblem::TooLarge, 1};
    if (!SkipByteOrderMark(bytes)) return {ReadProblem::Utf16, 1};
    return CheckFileText(bytes, xml);
}

}  // namespace pninterop
