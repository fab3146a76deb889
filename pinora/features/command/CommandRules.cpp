#include "CommandRules.h"

#include "Utf8Text.h"

namespace pinora {
namespace {

struct CommandWord {
    const char* word;
    unsigned code;
};

constexpr CommandWord kWords[] = {
    {"VekPad", kCmdCompanionEditor}, {"setkey", kCmdSetHotkey}, {"mspaint", kCmdPaint}, {"mspt", kCmdPaint},
    {"calc", kCmdCalculator},        {"cmd", kCmdConsole},      {"stk", kCmdNewStick},
};

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool EqualIgnoringCase(const std::string& text, std::size_t length, const char* word) {
    std::size_t i = 0;
    for (; i < length && word[i]; ++i)
        if (Lower(text[i]) != Lower(word[i])) return false;
    return i == length && word[i] == '\0';
}

}  // namespace

const char* const kDefaultDictionaryPrefix = "https://pinora.app/dict/mini.php?q=";

unsigned MatchCommandWord(const std::string& text) {
    std::size_t length = text.size();
    // The word may be followed by exactly one line break, as after a first Enter.
    if (length >= 2 && text.compare(length - 2, 2, "\r\n") == 0) length -= 2;
    for (const CommandWord& w : kWords)
        if (EqualIgnoringCase(text, length, w.word)) return w.code;
    return 0;
}

bool MatchReminderLine(const std::string& text, std::string* rest) {
    static const char kWord[] = "remind";
    const std::size_t wordLength = sizeof kWord - 1;
    std::size_t length = text.size();
    if (length >= 2 && text.compare(length - 2, 2, "\r\n") == 0) length -= 2;
    if (text.find_first_of("\r\n") < length) return false;  // more than one line
    if (length < wordLength) return false;
    for (std::size_t i = 0; i < wordLength; ++i)
        if (Lower(text[i]) != kWord[i]) return false;
    std::size_t i = wordLength;
    if (i < length && text[i] != ' ' && text[i] != '\t' && text[i] != ':') return false;
    while (i < length && (text[i] == ' ' || text[i] == '\t' || text[i] == ':')) ++i;
    if (rest) *rest = text.substr(i, length - i);
    return true;
}

const char* ProgramForCommand(unsigned code) {
    switch (code) {
    case kCmdPaint: return "mspaint";
    case kCmdCalculator: return "calc";
    case kCmdConsole: return "cmd";
    default: return nullptr;
    }
}

std::string ProgramFileName(const std::string& name) {
    std::string file = uikit::Utf8Prefix(name, 255);
    if (file.find(".exe") == std::string::npos) file += ".exe";
    return file;
}

std::string BuildLookupUrl(const std::string& prefix, const std::string& words) {
    if (words.empty()) return {};
    std::string url = prefix + words;
    if (url.size() > kLookupUrlMax) url.resize(uikit::Utf8PrefixLength(url, kLookupUrlMax));
    return url;
}

DockPlace DockBeside(int mainLeft, int mainTop, int mainWidth, int mainHeight) {
    DockPlace place;
    place.width = mainWidth / 2;
    place.height = mainHeight;
    place.left = mainLeft - place.width;
    place.top = mainTop;
    return place;
}

}  // namespace pinora
