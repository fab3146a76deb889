// Ten years of diary files for the search benchmarks: 3,650 day files of 2,048
// bytes each, lines of everyday words ending in CR LF. One file in 73 holds the
// phrase the benchmarks look for, so 50 files match.
#pragma once
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "AlarmCode.h"

namespace notes_bench {

constexpr int kDays = 3650;
constexpr int kFileBytes = 2048;
constexpr int kEvery = 73;
constexpr int kMatches = kDays / kEvery;
// Typed as a user would, in lower case; the files hold "Harbour Festival".
constexpr const char* kKeywords = "harbour festival";

inline std::string FileName(const pinora::CivilDate& d) {
    char name[32];
    std::snprintf(name, sizeof name, "%04d-%02d-%02d.txt", d.year, d.month, d.day);
    return name;
}

inline std::string DayText(int index) {
    static const char* const words[] = {
        "Met",     "Anna",   "at",      "the",     "station", "and",     "we",      "talked",  "about",
        "work",    "Lunch",  "with",    "Tom",     "rain",    "again",   "bought",  "bread",   "milk",
        "coffee",  "Called", "mother",  "dentist", "on",      "Friday",  "read",    "a",       "chapter",
        "walked",  "to",     "market",  "garden",  "needs",   "water",   "meeting", "ran",     "late",
        "quiet",   "evening", "letter", "from",    "Paris",   "train",   "ticket",  "booked",  "Monday"};
    const int wordCount = static_cast<int>(sizeof words / sizeof words[0]);
    std::uint32_t state = 2463534242u + static_cast<std::uint32_t>(index) * 2654435761u;
    auto next = [&state] {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return state;
    };
    std::string text;
    int line = 0;
    while (static_cast<int>(text.size()) < kFileBytes) {
        if (index % kEvery == 0 && text.size() > kFileBytes / 2 && text.find("Festival") == std::string::npos)
            text += "Harbour Festival ";
        text += words[next() % static_cast<std::uint32_t>(wordCount)];
        text += ' ';
        if (++line % 11 == 0) text += "\r\n";
    }
    text.resize(kFileBytes - 2);
    return text + "\r\n";
}

// Writes the files into folder (ending in a separator); returns their paths.
inline std::vector<std::string> WriteCorpus(const std::string& folder) {
    std::vector<std::string> paths;
    pinora::CivilDate day{2000, 1, 1};
    for (int i = 0; i < kDays; ++i, day = pinora::NextDay(day)) {
        paths.push_back(folder + FileName(day));
        std::ofstream(paths.back(), std::ios::binary) << DayText(i);
    }
    return paths;
}

}  // namespace notes_bench
