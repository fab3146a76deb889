// Sticks and diary days as VTODO and VJOURNAL, and the merge rules.
#include <gtest/gtest.h>

#include "AlarmCode.h"
#include "StickMapping.h"
#include "SyncRules.h"

namespace pnsync {
namespace {

class Mapping : public ::testing::Test {
protected:
    FixedZone zone{3600};  // the computer runs an hour ahead of UTC
    Latin1Codec codec;
    MapContext ctx{&zone, &codec, SecondsFromCivil({2024, 3, 1, 9, 0, 0})};

    static StickFields Alarm(int date, int hour, int minute, int repeat, int end, const char* weekly = "0000000") {
        StickFields f;
        f.text = "Dentist";
        f.date = date;
        f.hasAlarm = true;
        f.hour = hour;
        f.minute = minute;
        f.repeat = repeat;
        f.endDate = end;
        f.weekly = weekly;
        return f;
    }
    IcalComponent Written(const StickFields& f, const std::string& raw = "", const std::string& base = "") {
        IcalComponent cal;
        std::string error;
        EXPECT_TRUE(ParseICalendar(WriteObject(SerializeStick(f), "uid-1", raw, base, ctx), &cal, &error)) << error;
        return cal;
    }
    StickFields Read(const std::string& raw, bool* exact = nullptr) {
        RemoteItem item;
        std::string error;
        EXPECT_TRUE(ReadObject(raw, ctx, &item, &error)) << error;
        if (exact) *exact = item.exact;
        StickFields f;
        EXPECT_TRUE(ParseStick(item.fields, &f)) << item.fields;
        return f;
    }
};

TEST_F(Mapping, AStickWithAnAlarmIsATodoDueInUtcWithTwoAlarmsAndItsRepeat) {
    const IcalComponent cal = Written(Alarm(20240305, 14, 5, pinora::kRepeatDaily, 20240310));
    const IcalComponent& todo = *cal.Child("VTODO");
    EXPECT_EQ(todo.Text("UID"), "uid-1");
    EXPECT_EQ(todo.Text("SUMMARY"), "Dentist");
    EXPECT_EQ(todo.Find("DUE")->value, "20240305T130500Z");
    EXPECT_EQ(todo.Find("DTSTART")->value, "20240305T130500Z");
    EXPECT_EQ(todo.Find("RRULE")->value, "FREQ=DAILY;UNTIL=20240310T130500Z");
    EXPECT_EQ(todo.Find("STATUS")->value, "NEEDS-ACTION");
    const auto alarms = todo.ChildrenNamed("VALARM");
    ASSERT_EQ(alarms.size(), 2u);
    EXPECT_EQ(alarms[0]->Find("TRIGGER")->value, "-PT30M");
    EXPECT_EQ(alarms[1]->Find("TRIGGER")->value, "PT0S");
    EXPECT_EQ(alarms[0]->Find("ACTION")->value, "DISPLAY");
}

TEST_F(Mapping, RepeatsAndStatesComeBackAsTheyWent) {
    const StickFields cases[] = {
        Alarm(20240305, 14, 5, pinora::kRepeatDaily, 20240305),                  // once
        Alarm(20240305, 0, 10, pinora::kRepeatDaily, 20240310),                  // daily until (UTC the day before)
        Alarm(20240305, 7, 0, pinora::kRepeatDaily, pinora::kEndlessDate),      // daily without end
        Alarm(20240305, 8, 30, pinora::kRepeatWeekly, 20240630, "0101010"),      // Mon, Wed, Fri until
        Alarm(20240305, 8, 30, pinora::kRepeatWeekly, pinora::kEndlessDate, "1000001"),
        Alarm(20240305, 8, 30, pinora::kRepeatThird, 20240305),                  // kept by Pinora's own property
    };
    for (StickFields f : cases) {
        for (StickStatus status : {StickStatus::Live, StickStatus::Finished}) {
            f.status = status;
            bool exact = false;
            const StickFields back = Read(WriteObject(SerializeStick(f), "u", "", "", ctx), &exact);
            EXPECT_TRUE(exact);
            EXPECT_EQ(SerializeStick(back), SerializeStick(f));
        }
    }
    StickFields note;
    note.text = "Call mum,\r\nthen; write\\back";
    note.date = 20240229;
    const IcalComponent cal = Written(note);
    EXPECT_EQ(cal.Child("VTODO")->Find("DTSTART")->ParamValue("VALUE"), "DATE");
    EXPECT_EQ(cal.Child("VTODO")->Find("DUE"), nullptr);
    EXPECT_EQ(SerializeStick(Read(WriteICalendar(cal))), SerializeStick(note));
}

TEST_F(Mapping, TheTablesRecordsAndTheFieldsAgreeAndADeletedStickIsMarked) {
    StickFields f = Alarm(20240305, 14, 5, pinora::kRepeatWeekly, 20240401, "0010000");
    const pinora::AlarmRecord live = RecordFromStick(f);
    EXPECT_EQ(live.code, "20240305|2024|03|05|14|5|2|2|20240401");
    EXPECT_EQ(live.state, "1");
    EXPECT_EQ(live.alarm5, "0");
    EXPECT_EQ(live.alarm30, "0");
    EXPECT_EQ(SerializeStick(StickFromRecord(20240305, f.text, live)), SerializeStick(f));
    f.status = StickStatus::Deleted;
    const pinora::AlarmRecord deleted = RecordFromStick(f);
    EXPECT_EQ(deleted.state, "0");
    EXPECT_EQ(deleted.alarm5, kDeletedMark);
    EXPECT_EQ(StickFromRecord(20240305, f.text, deleted).status, StickStatus::Deleted);
    pinora::AlarmRecord finished = live;
    finished.state = "0";  // what the reminder pass leaves
    EXPECT_EQ(StickFromRecord(20240305, f.text, finished).status, StickStatus::Finished);
    // The reminder flags are not the stick's content.
    pinora::AlarmRecord reminded = live;
    reminded.alarm30 = "1";
    f.status = StickStatus::Live;
    EXPECT_EQ(SerializeStick(StickFromRecord(20240305, f.text, reminded)), SerializeStick(f));
}

TEST_F(Mapping, OverTheServersObjectOnlyWhatChangedHereIsRewritten) {
    const std::string phone =
        "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Phone//EN\r\nBEGIN:VTODO\r\nUID:p-1\r\nDTSTAMP:20240101T000000Z\r\n"
        "SUMMARY:Dentist \xE6\x97\xA5\r\nPRIORITY:1\r\nX-PHONE-COLOUR:red\r\nDUE:20240305T130500Z\r\n"
        "DTSTART:20240305T130500Z\r\nRRULE:FREQ=DAILY;INTERVAL=2\r\nEND:VTODO\r\nEND:VCALENDAR\r\n";
    bool exact = true;
    const StickFields seen = Read(phone, &exact);
    EXPECT_FALSE(exact) << "neither the text nor the repeat fits a stick";
    EXPECT_EQ(seen.text, "Dentist ?");
    StickFields edited = seen;
    edited.status = StickStatus::Finished;  // only the state changes here
    const IcalComponent cal = Written(edited, phone, SerializeStick(seen));
    const IcalComponent& todo = *cal.Child("VTODO");
    EXPECT_EQ(todo.Text("SUMMARY"), "Dentist \xE6\x97\xA5") << "the text Pinora cannot hold stays";
    EXPECT_EQ(todo.Find("RRULE")->value, "FREQ=DAILY;INTERVAL=2");
    EXPECT_EQ(todo.Find("X-PHONE-COLOUR")->value, "red");
    EXPECT_EQ(todo.Find("PRIORITY")->value, "1");
    EXPECT_EQ(todo.Find("STATUS")->value, "COMPLETED");
    EXPECT_EQ(cal.Find("PRODID")->value, "-//Phone//EN");
}

TEST_F(Mapping, PhoneRulesAndAlarmsAreReadAsFarAsAStickGoes) {
    auto todo = [](const std::string& lines) {
        return "BEGIN:VCALENDAR\r\nBEGIN:VTODO\r\nUID:x\r\nSUMMARY:t\r\n" + lines + "END:VTODO\r\nEND:VCALENDAR\r\n";
    };
    bool exact = false;
    StickFields f = Read(todo("DUE:20240304T080000Z\r\nRRULE:FREQ=DAILY;COUNT=3\r\n"), &exact);
    EXPECT_TRUE(exact);
    EXPECT_EQ(f.endDate, 20240306);
    f = Read(todo("DUE:20240304T080000Z\r\nRRULE:FREQ=WEEKLY\r\n"), &exact);  // Monday
    EXPECT_EQ(f.repeat, pinora::kRepeatWeekly);
    EXPECT_EQ(f.weekly, "0100000");
    f = Read(todo("DUE:20240304T080000Z\r\nRRULE:FREQ=MONTHLY\r\n"), &exact);
    EXPECT_FALSE(exact);
    EXPECT_EQ(f.endDate, f.date) << "kept as the one time Pinora can hold";
    f = Read(todo("DUE:20240304T080000Z\r\nBEGIN:VALARM\r\nTRIGGER:PT0S\r\nACTION:DISPLAY\r\nEND:VALARM\r\n"), &exact);
    EXPECT_TRUE(f.hasAlarm);
    EXPECT_FALSE(f.advance) << "only the reminder at the time was asked for";
    EXPECT_EQ(RecordFromStick(f).alarm30, "1");
    // Pinora's own repeat property, as a server that escapes it hands it back.
    f = Read(todo("DUE:20240304T080000Z\r\nX-PINORA-REPEAT:2\\;0010000\r\n"), &exact);
    EXPECT_EQ(f.repeat, pinora::kRepeatWeekly);
    EXPECT_EQ(f.weekly, "0010000");
    f = Read(todo("DUE;VALUE=DATE:20240304\r\nSTATUS:COMPLETED\r\n"), &exact);
    EXPECT_FALSE(f.hasAlarm);
    EXPECT_EQ(f.status, StickStatus::Finished);
}

TEST_F(Mapping, ADiaryDayIsAJournalOfItsDate) {
    DayFields d;
    d.date = 20240305;
    d.text = "Met Ann, then; lunch\r\nGood day\r\n";
    const std::string ics = WriteObject(SerializeDay(d), "pinora-diary-20240305", "", "", ctx);
    IcalComponent cal;
    ASSERT_TRUE(ParseICalendar(ics, &cal, nullptr));
    const IcalComponent& j = *cal.Child("VJOURNAL");
    EXPECT_EQ(j.Find("DTSTART")->value, "20240305");
    EXPECT_EQ(j.Find("DTSTART")->ParamValue("VALUE"), "DATE");
    RemoteItem item;
    ASSERT_TRUE(ReadObject(ics, ctx, &item, nullptr));
    EXPECT_EQ(item.kind, ItemKind::Day);
    EXPECT_EQ(item.fields, SerializeDay(d));
}

TEST(MergeRules, TheDecisionTable) {
    using A = Action;
    using S = Side;
    EXPECT_EQ(Decide(false, S::Changed, S::Absent), A::CreateRemote);
    EXPECT_EQ(Decide(false, S::Absent, S::Changed), A::CreateLocal);
    EXPECT_EQ(Decide(false, S::Changed, S::Changed), A::Adopt);
    EXPECT_EQ(Decide(true, S::Unchanged, S::Unchanged), A::None);
    EXPECT_EQ(Decide(true, S::Changed, S::Unchanged), A::PushUpdate);
    EXPECT_EQ(Decide(true, S::Unchanged, S::Changed), A::PullUpdate);
    EXPECT_EQ(Decide(true, S::Changed, S::Changed), A::Merge);
    EXPECT_EQ(Decide(true, S::Absent, S::Unchanged), A::DeleteRemote);
    EXPECT_EQ(Decide(true, S::Unchanged, S::Absent), A::DeleteLocal);
    EXPECT_EQ(Decide(true, S::Changed, S::Absent), A::RecreateRemote) << "an edit beats a delete";
    EXPECT_EQ(Decide(true, S::Absent, S::Changed), A::RestoreLocal) << "an edit beats a delete";
    EXPECT_EQ(Decide(true, S::Absent, S::Absent), A::Forget);
}

TEST(MergeRules, DifferentFieldsMergeTheSameFieldKeepsBoth) {
    StickFields base;
    base.text = "Dentist";
    base.date = 20240305;
    base.hasAlarm = true;
    base.hour = 14;
    base.repeat = pinora::kRepeatDaily;
    base.endDate = 20240305;
    StickFields local = base, remote = base;
    local.hour = 15;            // moved here
    remote.text = "Dentist!";   // reworded on the phone
    MergeResult m = MergeFields(SerializeStick(base), SerializeStick(local), SerializeStick(base), SerializeStick(remote));
    EXPECT_FALSE(m.conflict);
    StickFields merged;
    ASSERT_TRUE(ParseStick(m.fields, &merged));
    EXPECT_EQ(merged.hour, 15);
    EXPECT_EQ(merged.text, "Dentist!");

    local = base;
    local.text = "Dentist at 3";
    m = MergeFields(SerializeStick(base), SerializeStick(local), SerializeStick(base), SerializeStick(remote));
    EXPECT_TRUE(m.conflict);
    EXPECT_EQ(m.fields, SerializeStick(remote)) << "the server's copy is kept";
    ASSERT_TRUE(ParseStick(m.conflictCopy, &merged));
    EXPECT_EQ(merged.text, "Dentist at 3") << "and the local one is not lost";

    DayFields b{20240305, "morning\r\n"}, l{20240305, "morning\r\nlunch\r\n"}, r{20240305, "morning\r\nphone call\r\n"};
    m = MergeFields(SerializeDay(b), SerializeDay(l), SerializeDay(b), SerializeDay(r));
    EXPECT_EQ(m.fields, SerializeDay({20240305, "morning\r\nphone call\r\nlunch\r\n"}));
    m = MergeFields("", SerializeDay({20240305, "mine\r\n"}), "", SerializeDay({20240305, "theirs"}));
    EXPECT_TRUE(m.conflict);
    EXPECT_EQ(m.fields, SerializeDay({20240305, "theirs\r\nmine\r\n"}));
}

}  // namespace
}  // namespace pnsync
