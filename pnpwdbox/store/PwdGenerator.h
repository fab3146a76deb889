// The password generator's algorithm: random bytes from a fresh random pool,
// stretched with SHA-256 in counter mode, kept when they fall into one of
// the chosen character classes.
#pragma once
#include <string>

#include "NewRandom.h"

namespace pngen {

constexpr int kClassCount = 8;
constexpr int kDefaultLength = 12;
constexpr int kMinLength = 6;    // what the up-down control offers
constexpr int kMaxLength = 32;
constexpr int kLargestLength = 1024;  // the largest length the generator accepts at all

// Row labels of the dialog's list, in the Windows-1252 code page.
extern const char* const kClassLabels[kClassCount];
// Rows 0..3 (upper, lower, digits, underline) are on by default.
extern const bool kClassDefaults[kClassCount];

struct Options {
    bool classes[kClassCount];
    int length;
};
Options DefaultOptions();

// Whether the character belongs to a class row.
bool ClassContains(int row, int character);

enum class Outcome { Generated, NoClassChosen, LengthOutOfRange };

// Generates into `password` (emptied first). Every class off, or a length
// outside 0..kLargestLength, is refused instead of looping for ever. A
// character that belongs to two chosen classes is taken twice, so the result
// may be one longer than asked. The pool filler is for tests; nullptr reads
// the running system.
Outcome Generate(const Options& options, std::string& password, CNewRandom::PoolFiller filler = nullptr);

}  // namespace pngen
