// The phrase reader's first step: a note lowered and cut into tokens (words,
// numbers with their groups of digits, single symbols), each with the entries
// of the language's table that start with it. Internal to the reader.
#pragma once
#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "PhraseLanguage.h"

namespace pinora::phrase_tokens {

// The language's entries, found by their first word.
struct IndexedEntry {
    const PhraseEntry* entry;
    std::vector<std::string_view> words;
};

struct PhraseIndex {
    std::unordered_map<std::string_view, std::vector<IndexedEntry>> byFirstWord;
};

// Built once per language, on first use.
const PhraseIndex& IndexOf(const PhraseLanguage& language);

enum class TokenKind : unsigned char { Word, Number, Symbol };

struct Token {
    TokenKind kind = TokenKind::Word;
    bool glued = false;  // nothing blank between it and the token before
    std::size_t begin = 0;
    std::size_t end = 0;
    // Numbers: up to three groups of digits and the separators between them
    // (9:30, 1.5, 15/12/2026). groups is 0 for digits no date or time can hold.
    int groups = 0;
    int value[3] = {};
    int digits[3] = {};
    char sep[2] = {};
    bool colon = false;  // a clock's separator anywhere in it ("8:00-9:00")
    const std::vector<IndexedEntry>* entries = nullptr;
};

// ASCII letters in lower case; other bytes as they are.
std::string Lowered(const std::string& text);
std::vector<Token> Tokenize(const std::string& lower, const PhraseIndex& index);

}  // namespace pinora::phrase_tokens
