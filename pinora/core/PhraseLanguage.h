// The words the phrase reader knows, one table per language. The reader's
// grammar is the same for every language; what a language brings is which word
// plays which part (a weekday, a unit of time, the word that leads a time...)
// and the words it describes an alarm with. Another language is another table.
#pragma once
#include <cstddef>

namespace pinora {

// The part a word (or a few words) plays in a time phrase.
enum class PhraseWord : unsigned char {
    Weekday,        // value 0..6, 0 = Sunday; kAbbreviation: only with a lead word or a time beside it
    WeekdayPlural,  // "mondays": a weekly repeat after "on"
    Month,          // value 1..12
    DayOffset,      // days from today: "today" 0, "tomorrow" 1
    DayPart,        // value: minute of the day it stands for; kMorning or kAfternoon; kToday for "tonight"
    NamedTime,      // value: minute of the day ("noon" 720); kMidnight
    Meridiem,       // value 0 (am) or 12 (pm)
    OClock,
    Unit,           // value: minutes in one (minute 1, hour 60, day 1440, week 10080)
    Number,         // value; kArticle for "a", "an"
    Half,
    Quarter,
    Past,           // "half past three"
    To,             // "quarter to five"
    Lead,           // kLeadTime ("at"), kLeadDay ("on"), kLeadOffset ("in"), kLeadPart ("in the")
    The,
    Of,
    Next,           // "next", "this": the first such weekday after today
    Every,          // "every", "each"
    Daily,          // "daily": every day
    DayGroup,       // value: weekday mask, bit 0 = Sunday ("weekdays" 0x3E)
    Until,
    From,
    And,
    Killer,         // a time this reader cannot turn into an alarm ("weekly", "next month", "ago")
    PastLead,       // "last": a day in the past
    NotTimeBefore,  // "version", "page": the number after it is no time
    NotTimeAfter,   // "euros", "%": the number before it is no time
    Ordinal,        // "st", "nd", "rd", "th" after a day number
    ReminderLead,   // "me to", "that": dropped after the command word
};

// Flags of an entry.
constexpr unsigned kAbbreviation = 1u << 0;
constexpr unsigned kMorning = 1u << 1;
constexpr unsigned kAfternoon = 1u << 2;
constexpr unsigned kToday = 1u << 3;
constexpr unsigned kMidnight = 1u << 4;
constexpr unsigned kArticle = 1u << 5;
constexpr unsigned kLeadTime = 1u << 6;
constexpr unsigned kLeadDay = 1u << 7;
constexpr unsigned kLeadOffset = 1u << 8;
constexpr unsigned kLeadPart = 1u << 9;
constexpr unsigned kThis = 1u << 10;  // "this": a day part today

struct PhraseEntry {
    // Lower case. Several words are separated by single blanks and match
    // tokens one by one, punctuation included ("a . m" for "a.m").
    const char* words;
    PhraseWord kind;
    int value;
    unsigned flags;
};

struct PhraseLanguage {
    const PhraseEntry* entries;
    std::size_t entryCount;

    // For describing an alarm ("Tue 8 Dec 09:30", "08:00 every Mon, Thu").
    const char* weekdayNames[7];  // Sunday first
    const char* monthNames[12];
    const char* dateFormat;       // %a weekday, %d day, %b month, %Y year
    const char* everyDay;         // "every day"
    const char* every;            // "every"
    const char* from;             // "from"
    const char* until;            // "until"
    const char* listSeparator;    // ", "

    // A day named without a time rings at this minute of the day (09:00).
    int defaultMinuteOfDay;
    // An hour from 1 to 12 written without am or pm is read between this hour
    // and twelve hours later: with 7, "at 8" is 08:00 and "at 3" is 15:00.
    int firstAmbiguousHour;
};

const PhraseLanguage& EnglishPhrases();

}  // namespace pinora
