#include "PhraseTokens.h"

#include <map>
#include <memory>
#include <mutex>

namespace pinora::phrase_tokens {

namespace {

std::vector<std::string_view> SplitWords(const char* words) {
    std::vector<std::string_view> out;
    std::string_view rest(words);
    while (!rest.empty()) {
        const std::size_t blank = rest.find(' ');
        out.push_back(rest.substr(0, blank));
        if (blank == std::string_view::npos) break;
        rest.remove_prefix(blank + 1);
    }
    return out;
}

}  // namespace

const PhraseIndex& IndexOf(const PhraseLanguage& language) {
    static std::mutex lock;
    static std::map<const PhraseLanguage*, std::unique_ptr<PhraseIndex>> indexes;
    std::lock_guard<std::mutex> guard(lock);
    std::unique_ptr<PhraseIndex>& index = indexes[&language];
    if (!index) {
        index = std::make_unique<PhraseIndex>();
        for (std::size_t i = 0; i < language.entryCount; ++i) {
            IndexedEntry indexed{&language.entries[i], SplitWords(language.entries[i].words)};
            if (indexed.words.empty()) continue;
            index->byFirstWord[indexed.words[0]].push_back(std::move(indexed));
        }
    }
    return *index;
}

namespace {

bool IsDigit(unsigned char c) { return c >= '0' && c <= '9'; }
// Bytes of other scripts count as letters, so a word in them stays one word.
bool IsLetter(unsigned char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c >= 0x80; }
bool IsBlank(unsigned char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v'; }
bool IsNumberSeparator(unsigned char c) { return c == ':' || c == '.' || c == '/' || c == '-' || c == ','; }

void ReadNumber(const std::string& s, std::size_t& i, Token& t) {
    const std::size_t n = s.size();
    int group = 0;
    bool usable = true;
    for (;;) {
        int v = 0, d = 0;
        for (; i < n && IsDigit(static_cast<unsigned char>(s[i])); ++i, ++d)
            if (d < 9) v = v * 10 + (s[i] - '0');
        if (d > 9) usable = false;
        if (group < 3) {
            t.value[group] = v;
            t.digits[group] = d;
        } else {
            usable = false;
        }
        ++group;
        if (i + 1 < n && IsNumberSeparator(static_cast<unsigned char>(s[i])) &&
            IsDigit(static_cast<unsigned char>(s[i + 1]))) {
            if (group <= 2) t.sep[group - 1] = s[i];
            t.colon = t.colon || s[i] == ':';
            ++i;
            continue;
        }
        break;
    }
    t.groups = usable ? group : 0;
}

}  // namespace

std::string Lowered(const std::string& text) {
    std::string lower = text;
    for (char& c : lower)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return lower;
}

std::vector<Token> Tokenize(const std::string& lower, const PhraseIndex& index) {
    std::vector<Token> tokens;
    const std::size_t n = lower.size();
    bool blank = true;
    std::size_t i = 0;
    while (i < n) {
        const auto c = static_cast<unsigned char>(lower[i]);
        if (IsBlank(c)) {
            blank = true;
            ++i;
            continue;
        }
        Token t;
        t.glued = !blank;
        blank = false;
        t.begin = i;
        if (IsDigit(c)) {
            t.kind = TokenKind::Number;
            ReadNumber(lower, i, t);
        } else if (IsLetter(c)) {
            t.kind = TokenKind::Word;
            while (i < n && (IsLetter(static_cast<unsigned char>(lower[i])) ||
                             (lower[i] == '\'' && i + 1 < n && IsLetter(static_cast<unsigned char>(lower[i + 1])))))
                ++i;
        } else {
            t.kind = TokenKind::Symbol;
            ++i;
        }
        t.end = i;
        if (t.kind != TokenKind::Number) {
            const auto found = index.byFirstWord.find(std::string_view(lower).substr(t.begin, t.end - t.begin));
            if (found != index.byFirstWord.end()) t.entries = &found->second;
        }
        tokens.push_back(t);
    }
    return tokens;
}

}  // namespace pinora::phrase_tokens
