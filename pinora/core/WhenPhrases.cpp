#include "WhenPhrases.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string_view>
#include <vector>

#include "PhraseTokens.h"

namespace pinora {

using phrase_tokens::IndexedEntry;
using phrase_tokens::Token;
using phrase_tokens::TokenKind;

long DaysFromCivil(CivilDate date) {
    // Days since 1970-01-01 in the proleptic Gregorian calendar (H. Hinnant).
    const long y = date.year - (date.month <= 2 ? 1 : 0);
    const long era = (y >= 0 ? y : y - 399) / 400;
    const long yoe = y - era * 400;
    const long m = date.month;
    const long doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + date.day - 1;
    const long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

CivilDate CivilFromDays(long days) {
    days += 719468;
    const long era = (days >= 0 ? days : days - 146096) / 146097;
    const long doe = days - era * 146097;
    const long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const long mp = (5 * doy + 2) / 153;
    const int day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    const int month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    const int year = static_cast<int>(yoe + era * 400 + (month <= 2 ? 1 : 0));
    return CivilDate{year, month, day};
}

namespace {

// ---- What the parts of a phrase mean ----

struct TimeValue {
    enum Style { Exact, Meridiem, Ambiguous, Named };
    int hour = 0;    // 0..23; 1..12 for an Ambiguous one
    int minute = 0;  // from the hour on; negative for "quarter to"
    Style style = Exact;
    bool midnight = false;
};

struct PartValue {
    int minuteOfDay = 0;
    bool afternoon = false;
    bool today = false;  // "tonight", "this evening"
};

struct RepeatValue {
    bool daily = false;
    int weekdayMask = 0;  // bit 0 = Sunday
};

struct OffsetValue {
    long minutes = 0;
    bool wholeDays = false;
};

enum Slot { kSlotOffset, kSlotDay, kSlotTime, kSlotPart, kSlotRepeat, kSlotUntil, kSlotFrom, kSlotCount };

constexpr long kLongestOffsetMinutes = 3660L * 1440;  // ten years

int To24(int hour12, int meridiem) { return hour12 == 12 ? meridiem : hour12 + meridiem; }

class PhraseReader {
public:
    PhraseReader(const std::string& text, const LocalTime& now, DateOrder order, const PhraseLanguage& language)
        : text_(text),
          lower_(phrase_tokens::Lowered(text)),
          language_(language),
          tokens_(phrase_tokens::Tokenize(lower_, phrase_tokens::IndexOf(language))),
          now_(now),
          order_(order),
          today_{now.year, now.month, now.day},
          todayDays_(DaysFromCivil(today_)),
          slotOf_(tokens_.size(), -1) {}

    WhenFound Read() {
        Scan();
        if (killed_) return {};
        WhenFound when = Combine();
        if (!when.found) return when;
        // A repeat without end is stored as ending on the last day a stick's
        // alarm knows; nothing may start after it.
        const long last = DaysFromCivil(CivilDate{kEndlessDate / 10000, kEndlessDate / 100 % 100, kEndlessDate % 100});
        if (DaysFromCivil(when.date) > last || (when.hasEnd && DaysFromCivil(when.end) > last)) return {};
        when.text = Leftover();
        return when;
    }

    // The text after the words that join a note to the command word.
    std::string WithoutLead() const {
        std::size_t i = 0;
        for (int round = 0; round < 3 && i < tokens_.size(); ++round) {
            std::size_t end = 0;
            if (!EntryAt(i, PhraseWord::ReminderLead, &end)) break;
            i = end;
        }
        return i < tokens_.size() ? text_.substr(tokens_[i].begin) : std::string();
    }

private:
    // ---- Tokens and words ----

    std::size_t Count() const { return tokens_.size(); }
    bool IsNumber(std::size_t i) const {
        return i < Count() && tokens_[i].kind == TokenKind::Number && tokens_[i].groups > 0;
    }
    bool IsPlainNumber(std::size_t i, int maxDigits) const {
        return IsNumber(i) && tokens_[i].groups == 1 && tokens_[i].digits[0] <= maxDigits;
    }
    std::string_view TextOf(std::size_t i) const {
        return std::string_view(lower_).substr(tokens_[i].begin, tokens_[i].end - tokens_[i].begin);
    }

    // The longest entry of the kind (with all of the flags) that starts at token i.
    const PhraseEntry* EntryAt(std::size_t i, PhraseWord kind, std::size_t* end, unsigned flags = 0) const {
        if (i >= Count() || !tokens_[i].entries) return nullptr;
        const PhraseEntry* best = nullptr;
        std::size_t bestEnd = 0;
        for (const IndexedEntry& e : *tokens_[i].entries) {
            if (e.entry->kind != kind || (e.entry->flags & flags) != flags) continue;
            std::size_t k = 1;
            while (k < e.words.size() && i + k < Count() && tokens_[i + k].kind != TokenKind::Number &&
                   TextOf(i + k) == e.words[k])
                ++k;
            if (k == e.words.size() && i + k > bestEnd) {
                best = e.entry;
                bestEnd = i + k;
            }
        }
        if (best && end) *end = bestEnd;
        return best;
    }
    bool Has(std::size_t i, PhraseWord kind) const { return EntryAt(i, kind, nullptr) != nullptr; }

    // A number that reads as something else: glued to a word ("v2", "room12"),
    // after a word such as "version", or before "euros" or "%".
    bool NotATimeNumber(std::size_t i) const {
        const Token& t = tokens_[i];
        if (t.glued && i > 0 && tokens_[i - 1].kind == TokenKind::Word && !Has(i - 1, PhraseWord::Unit)) return true;
        if (i > 0 && Has(i - 1, PhraseWord::NotTimeBefore)) return true;
        if (i + 1 < Count() && Has(i + 1, PhraseWord::NotTimeAfter)) return true;
        if (i + 1 < Count() && tokens_[i + 1].glued && tokens_[i + 1].kind == TokenKind::Word &&
            !Has(i + 1, PhraseWord::Meridiem) && !Has(i + 1, PhraseWord::Ordinal) && !Has(i + 1, PhraseWord::Unit))
            return true;
        return false;
    }

    // ---- The scan: each part of a phrase at most once ----

    void Kill() { killed_ = true; }

    void Take(Slot slot, std::size_t begin, std::size_t end) {
        if (has_[slot]) {
            Kill();  // two times, two days...: which one is meant cannot be told
            return;
        }
        has_[slot] = true;
        for (std::size_t k = begin; k < end; ++k) slotOf_[k] = slot;
    }

    void Scan() {
        std::size_t i = 0;
        while (i < Count() && !killed_) {
            std::size_t end = 0;
            if (EntryAt(i, PhraseWord::Killer, nullptr)) {
                Kill();
                break;
            }
            RepeatValue repeat;
            DayValueOut day;
            OffsetValue offset;
            PartValue part;
            TimeValue time;
            if ((end = MatchRepeat(i, repeat)) != 0) {
                repeat_ = repeat;
                Take(kSlotRepeat, i, end);
            } else if ((end = MatchBounded(i, PhraseWord::Until, day)) != 0) {
                until_ = day.date;
                Take(kSlotUntil, i, end);
            } else if ((end = MatchBounded(i, PhraseWord::From, day)) != 0) {
                from_ = day.date;
                Take(kSlotFrom, i, end);
            } else if ((end = MatchOffset(i, offset)) != 0) {
                offset_ = offset;
                Take(kSlotOffset, i, end);
            } else if ((end = MatchDay(i, false, day)) != 0) {
                day_ = day.date;
                Take(kSlotDay, i, end);
            } else if ((end = MatchPart(i, part)) != 0) {
                part_ = part;
                Take(kSlotPart, i, end);
            } else if ((end = MatchTime(i, time)) != 0) {
                time_ = time;
                Take(kSlotTime, i, end);
            } else {
                ++i;
                continue;
            }
            if (killed_) break;
            i = end;
        }
        if (!killed_) CheckNumbersBeside();
    }

    // What is left must not look like a time the reader did not take: a small
    // number right before or after a part of the phrase ("tomorrow 3", "at 9 2"),
    // a clock it could not read ("8:00-9:00"), or am/pm after a number it did not
    // take as a time ("8-9am"). Which time is meant cannot be told.
    void CheckNumbersBeside() {
        for (std::size_t i = 0; i < Count(); ++i) {
            if (slotOf_[i] >= 0) continue;
            const Token& t = tokens_[i];
            if (t.kind == TokenKind::Number && t.colon) {
                Kill();
                return;
            }
            if (i > 0 && tokens_[i - 1].kind == TokenKind::Number && slotOf_[i - 1] < 0 &&
                Has(i, PhraseWord::Meridiem)) {
                Kill();
                return;
            }
            const bool before = i + 1 < Count() && slotOf_[i + 1] >= 0;
            const bool after = i > 0 && slotOf_[i - 1] >= 0;
            // "gym mon wed fri 7am": more days than the one taken
            if ((before || after) && Has(i, PhraseWord::Weekday)) {
                Kill();
                return;
            }
            if (!IsPlainNumber(i, 2) || NotATimeNumber(i)) continue;
            if (before || after) Kill();
        }
    }

    // ---- Days and dates ----

    struct DayValueOut {
        CivilDate date;
    };

    CivilDate AddDays(long days) const { return CivilFromDays(todayDays_ + days); }

    CivilDate NextWeekday(int weekday) const {
        int days = (weekday - now_.dayOfWeek + 7) % 7;
        if (days == 0) days = 7;  // a weekday named on that very day is next week's
        return AddDays(days);
    }

    // A time right before begin or right from end on.
    bool TimeBeside(std::size_t begin, std::size_t end) {
        if (begin > 0 && slotOf_[begin - 1] == kSlotTime) return true;
        TimeValue t;
        const bool wasKilled = killed_;
        const bool found = MatchTime(end, t) != 0;
        killed_ = wasKilled;  // a look ahead decides nothing
        return found;
    }

    // "until friday", "from dec 15": the day after the word.
    std::size_t MatchBounded(std::size_t i, PhraseWord word, DayValueOut& day) {
        std::size_t end = 0;
        if (!EntryAt(i, word, &end)) return 0;
        const std::size_t dayEnd = MatchDay(end, true, day);
        if (dayEnd == 0) {
            // "until" with no day after it bounds something this reader cannot read.
            if (word == PhraseWord::Until) Kill();
            return 0;
        }
        return dayEnd;
    }

    std::size_t MatchDay(std::size_t i, bool led, DayValueOut& day) {
        std::size_t k = i, end = 0;
        if (EntryAt(k, PhraseWord::Lead, &end, kLeadDay)) {
            led = true;
            k = end;
        }
        if (const PhraseEntry* offset = EntryAt(k, PhraseWord::DayOffset, &end)) {
            day.date = AddDays(offset->value);
            return end;
        }
        if (EntryAt(k, PhraseWord::PastLead, &end) && Has(end, PhraseWord::Weekday)) {
            Kill();  // "last monday"
            return 0;
        }
        bool next = false;
        std::size_t w = k;
        if (EntryAt(k, PhraseWord::Next, &end)) {
            next = true;
            w = end;
        }
        if (const PhraseEntry* weekday = EntryAt(w, PhraseWord::Weekday, &end)) {
            // "Tuesday, 15 December": the date, which must fall on that weekday.
            std::size_t dateStart = end;
            if (dateStart < Count() && TextOf(dateStart) == ",") ++dateStart;
            if (!next) {
                DayValueOut dated;
                if (const std::size_t dateEnd = MatchDate(dateStart, true, dated)) {
                    if (DayOfWeek(dated.date.year, dated.date.month, dated.date.day) != weekday->value) Kill();
                    day = dated;
                    return dateEnd;
                }
                if (killed_) return 0;
            }
            if ((weekday->flags & kAbbreviation) && !led && !next && !TimeBeside(i, end)) return 0;
            day.date = NextWeekday(weekday->value);
            return end;
        }
        if (next) return 0;
        return MatchDate(k, led, day);
    }

    // A day number: 15, 15th.
    std::size_t DayNumberAt(std::size_t i, int* dayOfMonth) const {
        if (!IsPlainNumber(i, 2) || NotATimeNumber(i)) return 0;
        const int d = tokens_[i].value[0];
        if (d < 1 || d > 31) return 0;
        std::size_t end = i + 1;
        std::size_t ordinalEnd = 0;
        if (end < Count() && tokens_[end].glued && EntryAt(end, PhraseWord::Ordinal, &ordinalEnd)) end = ordinalEnd;
        *dayOfMonth = d;
        return end;
    }

    std::size_t YearAt(std::size_t i, int* year) const {
        std::size_t k = i;
        if (k < Count() && tokens_[k].kind == TokenKind::Symbol && TextOf(k) == ",") ++k;
        if (!IsPlainNumber(k, 4) || tokens_[k].digits[0] != 4 || NotATimeNumber(k)) return 0;
        *year = tokens_[k].value[0];
        return k + 1;
    }

    // A date the user gave: with a year it must exist; without one it is the
    // next such day from today on (this year's, or else next year's).
    bool SetDate(int year, int month, int dayOfMonth, DayValueOut& day) {
        if (month < 1 || month > 12 || dayOfMonth < 1) {
            Kill();
            return false;
        }
        if (year > 0) {
            if (year < 1000 || year > 9999 || dayOfMonth > DaysInMonth(year, month)) {
                Kill();
                return false;
            }
            day.date = CivilDate{year, month, dayOfMonth};
            return true;
        }
        for (int y = today_.year; y <= today_.year + 1; ++y) {
            if (dayOfMonth > DaysInMonth(y, month)) continue;
            const CivilDate candidate{y, month, dayOfMonth};
            if (DaysFromCivil(candidate) >= todayDays_) {
                day.date = candidate;
                return true;
            }
        }
        Kill();  // "feb 30", or "feb 29" with no leap year ahead
        return false;
    }

    std::size_t MatchDate(std::size_t i, bool led, DayValueOut& day) {
        std::size_t k = i, end = 0;
        if (EntryAt(k, PhraseWord::The, &end)) k = end;
        int dayOfMonth = 0, year = 0;
        // Dec 15, December 15th, Dec. 15, 2026
        if (const PhraseEntry* month = EntryAt(k, PhraseWord::Month, &end)) {
            std::size_t j = end;
            if (j < Count() && tokens_[j].glued && TextOf(j) == ".") ++j;
            if (EntryAt(j, PhraseWord::The, &end)) j = end;
            const std::size_t dayEnd = DayNumberAt(j, &dayOfMonth);
            if (dayEnd == 0) return 0;
            const std::size_t yearEnd = YearAt(dayEnd, &year);
            if (!SetDate(year, month->value, dayOfMonth, day)) return 0;
            return yearEnd ? yearEnd : dayEnd;
        }
        // 15 December, 15th of Dec 2026
        if (const std::size_t dayEnd = DayNumberAt(k, &dayOfMonth)) {
            std::size_t j = dayEnd;
            if (EntryAt(j, PhraseWord::Of, &end)) j = end;
            if (const PhraseEntry* month = EntryAt(j, PhraseWord::Month, &end)) {
                std::size_t monthEnd = end;
                if (monthEnd < Count() && tokens_[monthEnd].glued && TextOf(monthEnd) == ".") ++monthEnd;
                const std::size_t yearEnd = YearAt(monthEnd, &year);
                if (!SetDate(year, month->value, dayOfMonth, day)) return 0;
                return yearEnd ? yearEnd : monthEnd;
            }
        }
        return MatchNumericDate(k, led, day);
    }

    // 2026-12-15 always; 15/12/2026, 12/15/2026 or 2026/12/15 in the user's
    // order; 15/12 (no year) only after a lead word or beside a time, as it
    // could be a fraction.
    std::size_t MatchNumericDate(std::size_t i, bool led, DayValueOut& day) {
        if (!IsNumber(i) || NotATimeNumber(i)) return 0;
        const Token& t = tokens_[i];
        if (t.groups == 3) {
            if (t.sep[0] != t.sep[1] || (t.sep[0] != '/' && t.sep[0] != '.' && t.sep[0] != '-')) return 0;
            int y = 0, m = 0, d = 0, yearDigits = 0, monthDigits = 0, dayDigits = 0;
            auto take = [&](int yi, int mi, int di) {
                y = t.value[yi], yearDigits = t.digits[yi];
                m = t.value[mi], monthDigits = t.digits[mi];
                d = t.value[di], dayDigits = t.digits[di];
            };
            if (t.digits[0] == 4 || order_ == DateOrder::YearMonthDay)
                take(0, 1, 2);
            else if (order_ == DateOrder::MonthDayYear)
                take(2, 0, 1);
            else
                take(2, 1, 0);
            if ((yearDigits != 2 && yearDigits != 4) || monthDigits > 2 || dayDigits > 2) return 0;
            if (yearDigits == 2) y += 2000;
            if (!SetDate(y, m, d, day)) return 0;
            return i + 1;
        }
        if (t.groups == 2 && t.sep[0] == '/' && (led || TimeBeside(i, i + 1))) {
            if (t.digits[0] > 2 || t.digits[1] > 2) return 0;
            const bool dayFirst = order_ == DateOrder::DayMonthYear;
            const int m = dayFirst ? t.value[1] : t.value[0];
            const int d = dayFirst ? t.value[0] : t.value[1];
            if (!SetDate(0, m, d, day)) return 0;
            return i + 1;
        }
        return 0;
    }

    // ---- Parts of the day ----

    // "tonight", "this evening", "in the morning", "at night", and "morning"
    // right after a day or a time ("tomorrow morning").
    std::size_t MatchPart(std::size_t i, PartValue& part) const {
        std::size_t k = i, end = 0;
        const PhraseEntry* lead = EntryAt(i, PhraseWord::Lead, &end, kLeadPart);
        if (lead) k = end;
        const PhraseEntry* named = EntryAt(k, PhraseWord::DayPart, &end);
        if (!named) return 0;
        const bool selfContained = (named->flags & kToday) != 0;
        const bool besideDayOrTime = i > 0 && (slotOf_[i - 1] == kSlotDay || slotOf_[i - 1] == kSlotTime);
        if (!lead && !selfContained && !besideDayOrTime) return 0;
        part.minuteOfDay = named->value;
        part.afternoon = (named->flags & kAfternoon) != 0;
        part.today = selfContained || (lead && (lead->flags & kThis));
        return end;
    }

    // ---- Times of day ----

    std::size_t MatchTime(std::size_t i, TimeValue& time) {
        std::size_t k = i, end = 0;
        bool led = false;
        if (EntryAt(k, PhraseWord::Lead, &end, kLeadTime)) {
            led = true;
            k = end;
        }
        if (const PhraseEntry* named = EntryAt(k, PhraseWord::NamedTime, &end)) {
            time.hour = named->value / 60;
            time.minute = named->value % 60;
            time.style = TimeValue::Named;
            time.midnight = (named->flags & kMidnight) != 0;
            return end;
        }
        if (const std::size_t clockEnd = MatchClock(k, led, time)) return clockEnd;
        return MatchSpokenTime(k, led, time);
    }

    // A meridiem after token i: "3pm", "3 pm", "3 p.m.".
    const PhraseEntry* MeridiemAfter(std::size_t i, std::size_t* end) const {
        return EntryAt(i + 1, PhraseWord::Meridiem, end);
    }

    std::size_t MatchClock(std::size_t k, bool led, TimeValue& time) {
        if (!IsNumber(k) || NotATimeNumber(k)) return 0;
        const Token& t = tokens_[k];
        std::size_t end = 0;
        const PhraseEntry* meridiem = MeridiemAfter(k, &end);
        if (t.groups == 2 && (t.sep[0] == ':' || t.sep[0] == '.')) {
            // 9:30, 15:15, 3.30pm; "1.5" is no time. With a dot it may be a price
            // ("milk 2.50"): a time only after "at", with am/pm or beside a day.
            if (t.digits[1] != 2 || t.digits[0] > 2) return 0;
            const int h = t.value[0], m = t.value[1];
            if (t.sep[0] == '.' && !meridiem && !led && !DayBeside(k)) return 0;
            if (h > 23 || m > 59) {
                Kill();  // 25:00
                return 0;
            }
            time.minute = m;
            if (meridiem) return Meridiem12(h, meridiem->value, end, time);
            time.hour = h;
            time.style = (h == 0 || h > 12 || (t.digits[0] == 2 && h < 10)) ? TimeValue::Exact : TimeValue::Ambiguous;
            return k + 1;
        }
        if (t.groups != 1 || t.digits[0] > 2) return 0;
        const int h = t.value[0];
        time.minute = 0;
        if (meridiem) return Meridiem12(h, meridiem->value, end, time);
        if (EntryAt(k + 1, PhraseWord::OClock, &end)) {
            if (h < 1 || h > 12) return 0;
            time.hour = h;
            time.style = TimeValue::Ambiguous;
            return end;
        }
        PartValue part;
        if (!led && MatchPart(k + 1, part) == 0) return 0;  // a number alone is no time
        if (h > 23) return 0;
        std::size_t hEnd = k + 1;
        if (const PhraseEntry* unit = EntryAt(hEnd, PhraseWord::Unit, &end);
            unit && unit->value == 60 && tokens_[hEnd].glued)
            hEnd = end;  // "at 17h"
        time.hour = h;
        // "at 08" and "at 15" say which half of the day; "at 8" does not.
        time.style = (h == 0 || h > 12 || (t.digits[0] == 2 && h < 10)) ? TimeValue::Exact : TimeValue::Ambiguous;
        return hEnd;
    }

    // A day named right before token i ("tomorrow 9.30") or right after it.
    bool DayBeside(std::size_t i) const {
        if (i > 0 && slotOf_[i - 1] == kSlotDay) return true;
        return Has(i + 1, PhraseWord::DayOffset) || Has(i + 1, PhraseWord::Weekday) || Has(i + 1, PhraseWord::Next) ||
               EntryAt(i + 1, PhraseWord::Lead, nullptr, kLeadDay) != nullptr;
    }

    std::size_t Meridiem12(int hour12, int meridiem, std::size_t end, TimeValue& time) {
        if (hour12 < 1 || hour12 > 12) {
            Kill();  // 13pm, 0am
            return 0;
        }
        time.hour = To24(hour12, meridiem);
        time.style = TimeValue::Meridiem;
        return end;
    }

    // An hour said in words or digits from 1 to 12: "three", "5".
    std::size_t SpokenHourAt(std::size_t i, int* hour) const {
        std::size_t end = 0;
        if (const PhraseEntry* word = EntryAt(i, PhraseWord::Number, &end)) {
            if ((word->flags & kArticle) || word->value < 1 || word->value > 12) return 0;
            *hour = word->value;
            return end;
        }
        if (IsPlainNumber(i, 2) && !NotATimeNumber(i) && tokens_[i].value[0] >= 1 && tokens_[i].value[0] <= 12) {
            *hour = tokens_[i].value[0];
            return i + 1;
        }
        return 0;
    }

    // "half past three", "quarter to 5", "ten past four", "three o'clock", "at five".
    std::size_t MatchSpokenTime(std::size_t k, bool led, TimeValue& time) {
        std::size_t end = 0;
        int minutes = -1;
        std::size_t j = k;
        if (EntryAt(k, PhraseWord::Half, &end)) {
            minutes = 30;
            j = end;
        } else if (EntryAt(k, PhraseWord::Quarter, &end)) {
            minutes = 15;
            j = end;
        } else if (const PhraseEntry* word = EntryAt(k, PhraseWord::Number, &end)) {
            if (!(word->flags & kArticle) && word->value >= 1 && word->value < 30) {
                minutes = word->value;
                j = end;
                if (const PhraseEntry* unit = EntryAt(j, PhraseWord::Unit, &end); unit && unit->value == 1) j = end;
            }
        } else if (IsPlainNumber(k, 2) && !NotATimeNumber(k)) {
            // Digits need "minutes": "2 to 3" is a span, not 2:58.
            const PhraseEntry* unit = EntryAt(k + 1, PhraseWord::Unit, &end);
            if (unit && unit->value == 1 && tokens_[k].value[0] >= 1 && tokens_[k].value[0] < 30) {
                minutes = tokens_[k].value[0];
                j = end;
            }
        }
        int hour = 0;
        if (minutes >= 0) {
            int sign = 0;
            if (EntryAt(j, PhraseWord::Past, &end))
                sign = 1;
            else if (EntryAt(j, PhraseWord::To, &end))
                sign = -1;
            const std::size_t hourEnd = sign != 0 ? SpokenHourAt(end, &hour) : 0;
            if (hourEnd != 0) {
                time.minute = sign * minutes;
                return FinishSpokenHour(hour, hourEnd, time);
            }
        }
        // "three o'clock", "at five"
        const std::size_t hourEnd = SpokenHourAt(k, &hour);
        if (hourEnd == 0 || IsNumber(k)) return 0;  // digits were tried as a clock
        time.minute = 0;
        if (EntryAt(hourEnd, PhraseWord::OClock, &end)) return FinishSpokenHour(hour, end, time);
        if (Has(hourEnd, PhraseWord::Meridiem) || (led && !Has(hourEnd, PhraseWord::Of)))
            return FinishSpokenHour(hour, hourEnd, time);
        return 0;
    }

    std::size_t FinishSpokenHour(int hour12, std::size_t end, TimeValue& time) {
        std::size_t oclockEnd = 0;
        if (EntryAt(end, PhraseWord::OClock, &oclockEnd)) end = oclockEnd;
        std::size_t meridiemEnd = 0;
        if (const PhraseEntry* meridiem = EntryAt(end, PhraseWord::Meridiem, &meridiemEnd)) {
            time.hour = To24(hour12, meridiem->value);
            time.style = TimeValue::Meridiem;
            return meridiemEnd;
        }
        time.hour = hour12;
        time.style = TimeValue::Ambiguous;
        return end;
    }

    // ---- Offsets: "in 20 min", "in 1.5 hours", "in 2h 15m", "in half an hour" ----

    // A quantity in digits (2, 1.5, 1,5) or words (an, two, a couple of).
    std::size_t QuantityAt(std::size_t i, double* quantity) const {
        std::size_t end = 0;
        if (const PhraseEntry* word = EntryAt(i, PhraseWord::Number, &end)) {
            *quantity = word->value;
            return end;
        }
        if (!IsNumber(i)) return 0;
        const Token& t = tokens_[i];
        if (t.glued && i > 0 && tokens_[i - 1].kind == TokenKind::Word && !Has(i - 1, PhraseWord::Unit)) return 0;
        if (t.groups == 1 && t.digits[0] <= 6) {
            *quantity = t.value[0];
            return i + 1;
        }
        if (t.groups == 2 && (t.sep[0] == '.' || t.sep[0] == ',') && t.digits[0] <= 6 && t.digits[1] <= 3) {
            *quantity = t.value[0] + t.value[1] / std::pow(10.0, t.digits[1]);
            return i + 1;
        }
        return 0;
    }

    // "and a half"
    std::size_t AndAHalfAt(std::size_t i) const {
        std::size_t end = 0;
        const PhraseEntry* article = nullptr;
        if (!EntryAt(i, PhraseWord::And, &end)) return 0;
        article = EntryAt(end, PhraseWord::Number, &end);
        if (!article || !(article->flags & kArticle)) return 0;
        return EntryAt(end, PhraseWord::Half, &end) ? end : 0;
    }

    std::size_t AmountAt(std::size_t i, double* minutes, int* unitMinutes) const {
        std::size_t end = 0;
        double quantity = 0;
        std::size_t j = 0;
        if (EntryAt(i, PhraseWord::Half, &end)) {  // half an hour, half a day
            const PhraseEntry* article = EntryAt(end, PhraseWord::Number, &end);
            if (!article || !(article->flags & kArticle)) return 0;
            quantity = 0.5;
            j = end;
        } else {
            j = QuantityAt(i, &quantity);
            if (j == 0) return 0;
            if (const std::size_t halfEnd = AndAHalfAt(j)) {  // two and a half hours
                quantity += 0.5;
                j = halfEnd;
            }
        }
        const PhraseEntry* unit = EntryAt(j, PhraseWord::Unit, &end);
        if (!unit) return 0;
        j = end;
        if (const std::size_t halfEnd = AndAHalfAt(j)) {  // an hour and a half
            quantity += 0.5;
            j = halfEnd;
        }
        *minutes = quantity * unit->value;
        *unitMinutes = unit->value;
        return j;
    }

    std::size_t MatchOffset(std::size_t i, OffsetValue& offset) {
        std::size_t end = 0;
        if (!EntryAt(i, PhraseWord::Lead, &end, kLeadOffset)) return 0;
        double total = 0;
        bool subDay = false;
        int amounts = 0;
        std::size_t k = end;
        for (;;) {
            double minutes = 0;
            int unit = 0;
            std::size_t amountEnd = AmountAt(k, &minutes, &unit);
            if (amountEnd == 0 && amounts > 0) {
                // "2 hours and 15 minutes", "2h, 15m"
                if (EntryAt(k, PhraseWord::And, &end)) amountEnd = AmountAt(end, &minutes, &unit);
            }
            if (amountEnd == 0) break;
            total += minutes;
            subDay = subDay || unit < 1440;
            ++amounts;
            k = amountEnd;
            // 1h30: minutes glued to the hours
            if (unit == 60 && IsPlainNumber(k, 2) && tokens_[k].glued && tokens_[k].value[0] < 60 &&
                !Has(k + 1, PhraseWord::Unit)) {
                total += tokens_[k].value[0];
                ++k;
            }
        }
        if (amounts == 0) return 0;
        const double rounded = std::floor(total + 0.5);
        if (rounded < 1 || rounded > kLongestOffsetMinutes) {
            Kill();  // in 0 minutes, in 20 years
            return 0;
        }
        offset.minutes = static_cast<long>(rounded);
        offset.wholeDays = !subDay && offset.minutes % 1440 == 0;
        return k;
    }

    // ---- Repeats ----

    std::size_t WeekdayListAt(std::size_t i, PhraseWord kind, int* mask) const {
        std::size_t end = 0;
        const PhraseEntry* weekday = EntryAt(i, kind, &end);
        if (!weekday) return 0;
        *mask |= 1 << weekday->value;
        std::size_t k = end;
        for (;;) {
            // "mon and thu", "mon, wed and fri", "mon wed fri"
            std::size_t andEnd = k;
            EntryAt(k, PhraseWord::And, &andEnd);
            const PhraseEntry* more = EntryAt(andEnd, kind, &end);
            if (!more) break;
            *mask |= 1 << more->value;
            k = end;
        }
        return k;
    }

    std::size_t MatchRepeat(std::size_t i, RepeatValue& repeat) {
        std::size_t end = 0;
        if (EntryAt(i, PhraseWord::Every, &end)) {
            const std::size_t k = end;
            if (const PhraseEntry* unit = EntryAt(k, PhraseWord::Unit, &end); unit && unit->value == 1440) {
                repeat.daily = true;
                return end;
            }
            if (const PhraseEntry* group = EntryAt(k, PhraseWord::DayGroup, &end)) {
                repeat.weekdayMask = group->value;
                return end;
            }
            if (const std::size_t listEnd = WeekdayListAt(k, PhraseWord::Weekday, &repeat.weekdayMask)) return listEnd;
            if (const PhraseEntry* part = EntryAt(k, PhraseWord::DayPart, &end); part && !(part->flags & kToday)) {
                // every morning: daily, at the part's time
                repeat.daily = true;
                part_.minuteOfDay = part->value;
                part_.afternoon = (part->flags & kAfternoon) != 0;
                Take(kSlotPart, k, end);
                return end;
            }
            Kill();  // every other day, every month, every 2 hours
            return 0;
        }
        if (EntryAt(i, PhraseWord::Daily, &end)) {
            repeat.daily = true;
            return end;
        }
        if (EntryAt(i, PhraseWord::Lead, &end, kLeadDay)) {  // on mondays, on weekdays
            const std::size_t k = end;
            if (const std::size_t listEnd = WeekdayListAt(k, PhraseWord::WeekdayPlural, &repeat.weekdayMask))
                return listEnd;
            if (const PhraseEntry* group = EntryAt(k, PhraseWord::DayGroup, &end)) {
                repeat.weekdayMask = group->value;
                return end;
            }
        }
        return 0;
    }

    // ---- Putting the parts together ----

    // The minute of the day the time stands for, or -1 when it contradicts the
    // part of the day ("8pm in the morning").
    int MinuteOfDay(const TimeValue& t, const PartValue* part) const {
        int hour = t.hour;
        switch (t.style) {
        case TimeValue::Named:
            if (part) return -1;
            return t.hour * 60 + t.minute;
        case TimeValue::Exact:
        case TimeValue::Meridiem:
            if (part && (hour >= 12) != part->afternoon) return -1;
            break;
        case TimeValue::Ambiguous:
            if (part) {
                if (part->afternoon)
                    hour = hour == 12 ? 12 : hour + 12;
                else if (hour == 12)
                    return -1;
            } else if (hour < language_.firstAmbiguousHour && hour != 12) {
                hour += 12;
            }
            break;
        }
        const int minute = hour * 60 + t.minute;
        return minute >= 0 && minute < 24 * 60 ? minute : -1;
    }

    WhenFound At(CivilDate date, int minuteOfDay) const {
        WhenFound when;
        when.found = true;
        when.date = date;
        when.hour = minuteOfDay / 60;
        when.minute = minuteOfDay % 60;
        return when;
    }

    int NowMinute() const { return now_.hour * 60 + now_.minute; }

    WhenFound Combine() const {
        const PartValue* part = has_[kSlotPart] ? &part_ : nullptr;
        const bool partToday = part && part->today;
        int minute = -1;
        if (has_[kSlotTime]) {
            minute = MinuteOfDay(time_, part);
            if (minute < 0) return {};
        } else if (part) {
            minute = part->minuteOfDay;
        }

        if (has_[kSlotOffset]) {
            if (has_[kSlotDay] || has_[kSlotRepeat] || has_[kSlotUntil] || has_[kSlotFrom] || partToday) return {};
            if (!offset_.wholeDays) {
                if (minute >= 0) return {};  // in 20 minutes at 9
                const long total = NowMinute() + offset_.minutes;
                return At(AddDays(total / 1440), static_cast<int>(total % 1440));
            }
            return At(AddDays(offset_.minutes / 1440), minute >= 0 ? minute : NowMinute());
        }

        if (has_[kSlotRepeat]) return Repeating(minute, partToday);
        if (has_[kSlotUntil] || has_[kSlotFrom]) return {};  // a bound of nothing

        if (has_[kSlotDay] || partToday) {
            if (has_[kSlotDay] && partToday) return {};  // tomorrow tonight
            if (has_[kSlotTime] && time_.midnight) return {};  // the night before or after that day?
            const CivilDate date = has_[kSlotDay] ? day_ : today_;
            if (minute < 0) minute = language_.defaultMinuteOfDay;
            const long days = DaysFromCivil(date);
            if (days < todayDays_ || (days == todayDays_ && minute <= NowMinute())) return {};  // in the past
            return At(date, minute);
        }
        if (minute >= 0) return At(minute > NowMinute() ? today_ : AddDays(1), minute);  // a bare time
        return {};
    }

    WhenFound Repeating(int minute, bool partToday) const {
        if (has_[kSlotDay] || partToday) return {};
        const long start = has_[kSlotFrom] ? DaysFromCivil(from_) : todayDays_;
        if (start < todayDays_) return {};
        if (minute < 0) minute = language_.defaultMinuteOfDay;
        const int mask = repeat_.daily ? 0x7F : repeat_.weekdayMask;
        for (long d = start; d < start + 8; ++d) {
            const CivilDate date = CivilFromDays(d);
            const int weekday = DayOfWeek(date.year, date.month, date.day);
            if (!(mask & (1 << weekday))) continue;
            if (d == todayDays_ && minute <= NowMinute()) continue;
            WhenFound when = At(date, minute);
            when.repeat = repeat_.daily ? WhenRepeat::Daily : WhenRepeat::Weekly;
            for (int w = 0; w < 7; ++w) when.weekdays[w] = !repeat_.daily && (mask & (1 << w));
            if (has_[kSlotUntil]) {
                if (DaysFromCivil(until_) < d) return {};  // over before it starts
                when.hasEnd = true;
                when.end = until_;
            }
            return when;
        }
        return {};
    }

    // The note without the phrase: what is left between the parts, joined by
    // single blanks, without the punctuation that joined it to the phrase.
    std::string Leftover() const {
        std::string out;
        std::size_t i = 0;
        while (i < Count()) {
            if (slotOf_[i] >= 0) {
                ++i;
                continue;
            }
            std::size_t j = i;
            while (j + 1 < Count() && slotOf_[j + 1] < 0) ++j;
            std::string run = text_.substr(tokens_[i].begin, tokens_[j].end - tokens_[i].begin);
            if (!out.empty()) {
                if (run[0] == ',') {
                    // "call Ann, in 20 min, about it": one comma, not two
                    while (!out.empty() && (out.back() == ',' || out.back() == ' ')) out.pop_back();
                } else if (std::strchr(".;:!?)", run[0]) == nullptr) {
                    out += ' ';  // "call Ann at 9.30." keeps its full stop where it was
                }
            }
            out += run;
            i = j + 1;
        }
        auto joiner = [](char c) { return c == ' ' || c == ',' || c == ';' || c == ':' || c == '-'; };
        std::size_t first = 0, last = out.size();
        while (first < last && joiner(out[first])) ++first;
        while (last > first && joiner(out[last - 1])) --last;
        return out.substr(first, last - first);
    }

    const std::string& text_;
    std::string lower_;
    const PhraseLanguage& language_;
    std::vector<Token> tokens_;
    LocalTime now_;
    DateOrder order_;
    CivilDate today_;
    long todayDays_;
    std::vector<int> slotOf_;  // the part each token was taken for, -1 for none

    bool killed_ = false;
    bool has_[kSlotCount] = {};
    OffsetValue offset_;
    CivilDate day_;
    TimeValue time_;
    PartValue part_;
    RepeatValue repeat_;
    CivilDate until_;
    CivilDate from_;
};

std::string TwoDigits(int n) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02d", n);
    return buf;
}

std::string IsoDate(CivilDate d) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", d.year, d.month, d.day);
    return buf;
}

std::string ClockText(int hour, int minute) { return TwoDigits(hour) + ":" + TwoDigits(minute); }

std::string DateText(CivilDate d, const LocalTime& now, const PhraseLanguage& language) {
    std::string out;
    for (const char* p = language.dateFormat; *p; ++p) {
        if (*p != '%' || !p[1]) {
            out += *p;
            continue;
        }
        switch (*++p) {
        case 'a': out += language.weekdayNames[DayOfWeek(d.year, d.month, d.day)]; break;
        case 'd': out += std::to_string(d.day); break;
        case 'b': out += language.monthNames[d.month - 1]; break;
        default: out += *p; break;
        }
    }
    if (d.year != now.year) out += " " + std::to_string(d.year);
    return out;
}

// Weekdays as the week is usually read: Monday first.
constexpr int kMondayFirst[7] = {1, 2, 3, 4, 5, 6, 0};

}  // namespace

WhenFound ReadWhen(const std::string& text, const LocalTime& now, DateOrder order, const PhraseLanguage& language) {
    return PhraseReader(text, now, order, language).Read();
}

std::string WithoutReminderLead(const std::string& text, const PhraseLanguage& language) {
    return PhraseReader(text, LocalTime{}, DateOrder::DayMonthYear, language).WithoutLead();
}

std::string FormatWhenLine(const WhenFound& when) {
    if (!when.found) return "none";
    static const char* const kCodes[7] = {"SU", "MO", "TU", "WE", "TH", "FR", "SA"};
    std::string line = "due=" + IsoDate(when.date) + "T" + ClockText(when.hour, when.minute) + " repeat=";
    switch (when.repeat) {
    case WhenRepeat::None:
        line += "none";
        break;
    case WhenRepeat::Daily:
        line += "daily";
        if (when.hasEnd) line += ":" + IsoDate(when.date) + ".." + IsoDate(when.end);
        break;
    case WhenRepeat::Weekly: {
        line += "weekly:";
        bool first = true;
        for (int w : kMondayFirst) {
            if (!when.weekdays[w]) continue;
            if (!first) line += ",";
            line += kCodes[w];
            first = false;
        }
        if (when.hasEnd) line += ".." + IsoDate(when.end);
        break;
    }
    }
    line += " text=\"";
    for (char c : when.text) {
        if (c == '"' || c == '\\') line += '\\';
        line += c;
    }
    return line + "\"";
}

std::string DescribeWhen(const WhenFound& when, const LocalTime& now, bool todayAsTime,
                         const PhraseLanguage& language) {
    if (!when.found) return {};
    const std::string clock = ClockText(when.hour, when.minute);
    const bool today = when.date.year == now.year && when.date.month == now.month && when.date.day == now.day;
    std::string out;
    switch (when.repeat) {
    case WhenRepeat::None:
        return today && todayAsTime ? clock : DateText(when.date, now, language) + " " + clock;
    case WhenRepeat::Daily:
        out = clock + " " + language.everyDay;
        if (!today) out += std::string(" ") + language.from + " " + DateText(when.date, now, language);
        break;
    case WhenRepeat::Weekly: {
        out = clock + " " + language.every + " ";
        bool first = true;
        for (int w : kMondayFirst) {
            if (!when.weekdays[w]) continue;
            if (!first) out += language.listSeparator;
            out += language.weekdayNames[w];
            first = false;
        }
        break;
    }
    }
    if (when.hasEnd) out += std::string(" ") + language.until + " " + DateText(when.end, now, language);
    return out;
}

}  // namespace pinora
