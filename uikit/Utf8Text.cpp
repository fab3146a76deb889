#include "Utf8Text.h"

namespace uikit {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool IsContinuation(unsigned char c) { return (c & 0xC0) == 0x80; }

}  // namespace

size_t Utf8CharLengthAt(std::string_view text, size_t pos) {
    if (pos >= text.size()) return 0;
    const auto byte = [&](size_t i) { return static_cast<unsigned char>(text[pos + i]); };
    const unsigned char lead = byte(0);
    if (lead < 0x80) return 1;
    size_t length;
    unsigned char low = 0x80, high = 0xBF;  // allowed range of the second byte
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0) low = 0xA0;        // overlong
        else if (lead == 0xED) high = 0x9F;  // surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0) low = 0x90;        // overlong
        else if (lead == 0xF4) high = 0x8F;  // past U+10FFFF
    } else {
        return 0;  // continuation byte, C0/C1, F5..FF
    }
    if (text.size() - pos < length) return 0;
    if (byte(1) < low || byte(1) > high) return 0;
    for (size_t i = 2; i < length; ++i)
        if (!IsContinuation(byte(i))) return 0;
    return length;
}

bool IsValidUtf8(std::string_view text) {
    for (size_t pos = 0; pos < text.size();) {
        const size_t n = Utf8CharLengthAt(text, pos);
        if (n == 0) return false;
        pos += n;
    }
    return true;
}

bool IsAscii(std::string_view text) {
    for (char c : text)
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    return true;
}

size_t Utf8PrefixLength(std::string_view text, size_t maxBytes) {
    if (text.size() <= maxBytes) return text.size();
    size_t pos = 0;
    while (pos < maxBytes) {
        const size_t n = Utf8CharLengthAt(text, pos);
        const size_t step = n == 0 ? 1 : n;
        if (pos + step > maxBytes) break;
        pos += step;
    }
    return pos;
}

std::string Utf8Prefix(std::string_view text, size_t maxBytes) {
    return std::string(text.substr(0, Utf8PrefixLength(text, maxBytes)));
}

std::string Utf8FirstCharacters(std::string_view text, size_t count) {
    size_t pos = 0;
    for (; count > 0 && pos < text.size(); --count) {
        const size_t n = Utf8CharLengthAt(text, pos);
        pos += n == 0 ? 1 : n;
    }
    return std::string(text.substr(0, pos));
}

std::string Utf8Shortened(std::string_view text, size_t maxBytes, std::string_view mark) {
    if (text.size() <= maxBytes) return std::string(text);
    if (mark.size() > maxBytes) return Utf8Prefix(text, maxBytes);
    return Utf8Prefix(text, maxBytes - mark.size()).append(mark);
}

void CopyUtf8(char* to, size_t size, const char* from) {
    if (to == nullptr || size == 0) return;
    const std::string_view text = from ? std::string_view(from) : std::string_view();
    const size_t n = Utf8PrefixLength(text, size - 1);
    text.copy(to, n);
    to[n] = '\0';
}

std::u32string DecodeUtf8(std::string_view text) {
    std::u32string out;
    out.reserve(text.size());
    for (size_t pos = 0; pos < text.size();) {
        const size_t n = Utf8CharLengthAt(text, pos);
        if (n == 0) {
            out.push_back(kReplacement);
            ++pos;
            continue;
        }
        const auto byte = [&](size_t i) { return static_cast<char32_t>(static_cast<unsigned char>(text[pos + i])); };
        char32_t c;
        switch (n) {
        case 1: c = byte(0); break;
        case 2: c = ((byte(0) & 0x1F) << 6) | (byte(1) & 0x3F); break;
        case 3: c = ((byte(0) & 0x0F) << 12) | ((byte(1) & 0x3F) << 6) | (byte(2) & 0x3F); break;
        default:
            c = ((byte(0) & 0x07) << 18) | ((byte(1) & 0x3F) << 12) | ((byte(2) & 0x3F) << 6) | (byte(3) & 0x3F);
            break;
        }
        out.push_back(c);
        pos += n;
    }
    return out;
}

void AppendUtf8(std::string& out, char32_t c) {
    if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) c = kReplacement;
    if (c < 0x80) {
        out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (c >> 6)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (c >> 12)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (c >> 18)));
        out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

std::string EncodeUtf8(std::u32string_view codePoints) {
    std::string out;
    out.reserve(codePoints.size());
    for (char32_t c : codePoints) AppendUtf8(out, c);
    return out;
}

}  // namespace uikit
