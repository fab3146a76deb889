// The engine against an in-memory CalDAV collection, with the real stick
// tables and diary files of two computers and a phone writing into the
// collection: nothing lost, nothing doubled, through conflicts, outages and
// runs cut short.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "AlarmCode.h"
#include "AlarmStore.h"
#include "FakeCalDav.h"
#include "IcsFiles.h"
#include "StickStore.h"
#include "TableLocalStore.h"
#ifdef _WIN32
#include <windows.h>

#include "SyncPlatform_win.h"
#endif

namespace pnsync {
namespace {

using test::FakeCalDav;

// One computer: a user's data folder, its sync state, an engine.
class Computer {
public:
    // codec: the code page's (a Latin-1 stand-in unless given).
    Computer(const std::string& name, FakeCalDav& server, const TextCodec* codec = nullptr) : server_(server) {
        if (codec) ctx_.codec = codec;
        root_ = std::filesystem::temp_directory_path() /
                ("pinora-sync-" + name + "-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
                 std::to_string(++counter_));
        std::filesystem::remove_all(root_);
        // A user who has saved nothing yet: no data or sticks folder.
        std::filesystem::create_directories(root_);
        data_ = (root_ / "data").string() + "/";
        store_ = std::make_unique<TableLocalStore>(data_);
        EXPECT_TRUE(state_.Open((root_ / "sync.db").string(), nullptr));
    }
    ~Computer() {
        state_.Close();
        std::error_code ec;
        std::filesystem::remove_all(root_, ec);
    }

    SyncOutcome Sync(const std::string& password = "secret") {
        SyncEngine engine(server_, *store_, state_, ctx_, [this] { return "uid-" + std::to_string(++uids_) + "-" + root_.filename().string(); });
        return engine.Run({FakeCalDav::Url(), "alice", password});
    }
    int AddStick(const std::string& text, int date, int hour = -1, int repeat = pinora::kRepeatDaily, int end = 0) {
        StickFields f;
        f.text = text;
        f.date = date;
        if (hour >= 0) {
            f.hasAlarm = true;
            f.hour = hour;
            f.repeat = repeat;
            f.endDate = end ? end : date;
        }
        std::filesystem::create_directories(Sticks());
        return pinora::SaveNewStick(Sticks(), date, text, RecordFromStick(f));
    }
    void EditText(int n, const std::string& text) {
        StickFields f;
        ParseStick(store_->StickFieldsOf(n), &f);
        f.text = text;
        ASSERT_TRUE(pinora::SaveExistingStick(Sticks(), n, f.date, text, RecordFromStick(f)));
    }
    void Delete(int n) {
        // What the stick editor's Delete writes.
        ASSERT_TRUE(pinora::SetAlarmField(Sticks() + pinora::kAlarmTableName, n, pinora::kAlarm5, kDeletedMark));
        ASSERT_TRUE(pinora::SetAlarmField(Sticks() + pinora::kAlarmTableName, n, pinora::kAlarmState, "0"));
    }
    // Texts of the live and finished sticks, in record order.
    std::vector<std::string> Texts() const {
        std::vector<std::pair<int, std::string>> sticks;
        store_->ReadSticks(&sticks, nullptr);
        std::vector<std::string> texts;
        for (const auto& [n, fields] : sticks) {
            StickFields f;
            ParseStick(fields, &f);
            if (f.status != StickStatus::Deleted) texts.push_back(f.text);
        }
        return texts;
    }
    StickFields StickAt(int n) const {
        StickFields f;
        ParseStick(store_->StickFieldsOf(n), &f);
        return f;
    }
    void WriteDay(const std::string& name, const std::string& text) {
        std::filesystem::create_directories(data_);
        std::ofstream(data_ + name, std::ios::binary | std::ios::trunc) << text;
    }
    std::string Day(const std::string& name) const {
        std::string text;
        ReadWholeFile(data_ + name, &text);
        return text;
    }
    std::string Sticks() const { return data_ + "sticks/"; }
    TableLocalStore& Store() { return *store_; }
    SyncState& State() { return state_; }
    const MapContext& Ctx() const { return ctx_; }

private:
    static inline int counter_ = 0;
    FakeCalDav& server_;
    std::filesystem::path root_;
    std::string data_;
    std::unique_ptr<TableLocalStore> store_;
    SyncState state_;
    FixedZone zone_{0};
    Latin1Codec codec_;
    MapContext ctx_{&zone_, &codec_, SecondsFromCivil({2024, 3, 1, 9, 0, 0})};
    int uids_ = 0;
};

std::string PhoneTodo(const std::string& uid, const std::string& summary, const std::string& extra = "") {
    return "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//phone//EN\r\nBEGIN:VTODO\r\nUID:" + uid +
           "\r\nDTSTAMP:20240301T080000Z\r\nSUMMARY:" + summary + "\r\n" + extra + "END:VTODO\r\nEND:VCALENDAR\r\n";
}

// The phone's edit: the stored object with its SUMMARY replaced.
std::string WithSummary(std::string ics, const std::string& summary) {
    const size_t at = ics.find("SUMMARY:");
    const size_t end = ics.find("\r\n", at);
    return ics.replace(at, end - at, "SUMMARY:" + summary);
}

TEST(SyncEngine, TwoComputersAndAPhoneStayInStep) {
    FakeCalDav server;
    Computer a("a", server), b("b", server);
    a.AddStick("Dentist", 20240305, 14, pinora::kRepeatDaily, 20240308);
    a.AddStick("Buy milk", 20240302);
    a.WriteDay("2024-03-01.txt", "Wrote the report\r\n");
    SyncOutcome out = a.Sync();
    ASSERT_EQ(out.status, SyncStatus::Ok) << out.detail;
    EXPECT_EQ(out.pushed, 3);
    ASSERT_EQ(server.Objects().size(), 3u);
    EXPECT_NE(server.Object("pinora-diary-20240301.ics").find("VJOURNAL"), std::string::npos);

    // Nothing changed: one request, nothing sent.
    server.ResetCount();
    out = a.Sync();
    EXPECT_EQ(out.status, SyncStatus::Ok);
    EXPECT_EQ(server.Requests(), 1);
    EXPECT_EQ(out.pushed + out.pulled, 0);

    out = b.Sync();
    ASSERT_EQ(out.status, SyncStatus::Ok) << out.detail;
    EXPECT_EQ(b.Texts(), (std::vector<std::string>{"Dentist", "Buy milk"}));
    EXPECT_EQ(b.StickAt(1).hour, 14);
    EXPECT_EQ(b.StickAt(1).endDate, 20240308);
    EXPECT_EQ(b.Day("2024-03-01.txt"), "Wrote the report\r\n");

    // The phone rewords one and adds its own with an alarm.
    std::string name;
    for (const auto& [n, ics] : server.Objects())
        if (ics.find("SUMMARY:Dentist") != std::string::npos) name = n;
    ASSERT_FALSE(name.empty());
    server.PutObject(name, WithSummary(server.Object(name), "Dentist at Dr Ng"));
    server.PutObject("phone-1.ics", PhoneTodo("phone-1", "Call Ann", "DUE:20240306T100000Z\r\n"));
    ASSERT_EQ(a.Sync().status, SyncStatus::Ok);
    EXPECT_EQ(a.Texts(), (std::vector<std::string>{"Dentist at Dr Ng", "Buy milk", "Call Ann"}));
    EXPECT_TRUE(a.StickAt(3).hasAlarm);
    EXPECT_EQ(a.StickAt(3).hour, 10);
    EXPECT_EQ(pinora::ReadAlarmField(a.Sticks() + pinora::kAlarmTableName, 3, pinora::kAlarmState, std::vector<char>(8).data()), 1);

    // Deleted on B: gone from the server and from A.
    b.Delete(2);
    ASSERT_EQ(b.Sync().status, SyncStatus::Ok);
    EXPECT_EQ(server.Objects().size(), 3u);
    ASSERT_EQ(a.Sync().status, SyncStatus::Ok);
    EXPECT_EQ(a.Texts(), (std::vector<std::string>{"Dentist at Dr Ng", "Call Ann"}));
    EXPECT_EQ(a.StickAt(2).status, StickStatus::Deleted);
    // Deleted on the phone: gone from A.
    server.DeleteObject("phone-1.ics");
    ASSERT_EQ(a.Sync().status, SyncStatus::Ok);
    EXPECT_EQ(a.Texts(), (std::vector<std::string>{"Dentist at Dr Ng"}));
}

TEST(SyncEngine, ConflictsKeepBothCopiesDifferentFieldsMerge) {
    FakeCalDav server;
    Computer a("a", server);
    a.AddStick("Dentist", 20240305, 14);
    ASSERT_EQ(a.Sync().status, SyncStatus::Ok);
    const std::string name = server.Objects().begin()->first;

    // The same field on both sides.
    server.PutObject(name, WithSummary(server.Object(name), "Dentist (phone)"));
    a.EditText(1, "Dentist (PC)");
    SyncOutcome out = a.Sync();
    ASSERT_EQ(out.status, SyncStatus::Ok) << out.detail;
    EXPECT_EQ(out.conflicts, 1);
    ASSERT_EQ(out.notices.size(), 1u);
    EXPECT_EQ(a.Texts(), (std::vector<std::string>{"Dentist (phone)", "Dentist (PC)"}));
    ASSERT_EQ(server.Objects().size(), 2u);
    EXPECT_EQ(a.Sync().notices.size(), 0u) << "told once";

    // Different fields: the phone's text and the time moved here.
    server.PutObject(name, WithSummary(server.Object(name), "Dentist, bring card"));
    StickFields f = a.StickAt(1);
    f.hour = 16;
    ASSERT_TRUE(pinora::SaveExistingStick(a.Sticks(), 1, f.date, f.text, RecordFromStick(f)));
    out = a.Sync();
    EXPECT_EQ(out.conflicts, 0);
    EXPECT_EQ(a.StickAt(1).text, "Dentist, bring card");
    EXPECT_EQ(a.StickAt(1).hour, 16);
    EXPECT_NE(server.Object(name).find("DUE:20240305T160000Z"), std::string::npos);
    EXPECT_NE(server.Object(name).find("SUMMARY:Dentist, bring card"), std::string::npos) << "the phone's text untouched";

    // An edit beats a delete, both ways round.
    server.DeleteObject(name);
    a.EditText(1, "Dentist, edited");
    ASSERT_EQ(a.Sync().status, SyncStatus::Ok);
    EXPECT_NE(server.Object(name).find("Dentist\\, edited"), std::string::npos);
    a.Delete(1);
    server.PutObject(name, WithSummary(server.Object(name), "Dentist, phone edit"));
    ASSERT_EQ(a.Sync().status, SyncStatus::Ok);
    EXPECT_EQ(a.StickAt(1).text, "Dentist, phone edit");
    EXPECT_EQ(a.StickAt(1).status, StickStatus::Live);
}

TEST(SyncEngine, ARunCutShortAnywhereResumesWithoutDuplicatesOrLosses) {
    for (int cut = 1; cut <= 6; ++cut) {  // discovery, listing, five PUTs
        FakeCalDav server;
        Computer a("a", server);
        for (int i = 0; i < 5; ++i) a.AddStick("stick " + std::to_string(i), 20240305 + i, 9);
        server.failAfter = cut;
        const SyncOutcome broken = a.Sync();
        EXPECT_EQ(broken.status, SyncStatus::Offline) << "cut after " << cut;
        server.failAfter = -1;
        ASSERT_EQ(a.Sync().status, SyncStatus::Ok);
        EXPECT_EQ(server.Objects().size(), 5u) << "cut after " << cut;
        EXPECT_EQ(a.Texts().size(), 5u);
    }
    // The server stored it but the answer was lost.
    FakeCalDav server;
    Computer a("a", server), b("b", server);
    a.AddStick("Dentist", 20240305, 14);
    server.loseReplies = true;
    EXPECT_EQ(a.Sync().status, SyncStatus::Offline);
    server.loseReplies = false;
    a.EditText(1, "Dentist, 3rd floor");
    ASSERT_EQ(a.Sync().status, SyncStatus::Ok);
    ASSERT_EQ(server.Objects().size(), 1u);
    EXPECT_NE(server.Objects().begin()->second.find("3rd floor"), std::string::npos);
    // The same for the stick B gets: its state lost after the tables were written.
    ASSERT_EQ(b.Sync().status, SyncStatus::Ok);
    EXPECT_EQ(b.Texts().size(), 1u);
}

TEST(SyncEngine, ServerWithoutTokensExpiredTokensAndNoEtagOnPut) {
    for (int variant = 0; variant < 3; ++variant) {
        FakeCalDav server;
        server.noSyncToken = variant == 0;
        server.noEtagOnPut = variant == 2;
        Computer a("a", server), b("b", server);
        a.AddStick("one", 20240305, 9);
        ASSERT_EQ(a.Sync().status, SyncStatus::Ok);
        ASSERT_EQ(b.Sync().status, SyncStatus::Ok);
        if (variant == 1) server.ExpireTokens();
        server.PutObject("phone.ics", PhoneTodo("phone", "two"));
        b.AddStick("three", 20240306);
        const SyncOutcome out = b.Sync();
        ASSERT_EQ(out.status, SyncStatus::Ok) << out.detail;
        ASSERT_EQ(a.Sync().status, SyncStatus::Ok);
        ASSERT_EQ(b.Sync().status, SyncStatus::Ok);
        EXPECT_EQ(a.Texts(), (std::vector<std::string>{"one", "two", "three"})) << variant;
        EXPECT_EQ(b.Texts(), (std::vector<std::string>{"one", "three", "two"})) << variant;
        EXPECT_EQ(server.Objects().size(), 3u);
    }
}

TEST(SyncEngine, WrongPasswordServerTroubleAndAnEmptiedCalendarChangeNothing) {
    FakeCalDav server;
    Computer a("a", server);
    for (int i = 0; i < 4; ++i) a.AddStick("stick " + std::to_string(i), 20240305, 9);
    SyncOutcome out = a.Sync("wrong");
    EXPECT_EQ(out.status, SyncStatus::AuthFailed);
    EXPECT_EQ(server.Requests(), 1) << "one request, no retries";
    ASSERT_EQ(a.Sync().status, SyncStatus::Ok);

    server.serverError = 503;
    out = a.Sync();
    EXPECT_EQ(out.status, SyncStatus::ServerError);
    EXPECT_EQ(out.retryAfterSeconds, 120);
    server.serverError = 0;

    for (const auto& [name, ics] : server.Objects()) server.DeleteObject(name);
    out = a.Sync();
    EXPECT_EQ(out.status, SyncStatus::Suspicious);
    EXPECT_EQ(a.Texts().size(), 4u) << "nothing deleted here";
}

TEST(SyncEngine, TextsTheCodePageCannotHoldAreNeverWrittenBackUnlessEdited) {
    FakeCalDav server;
    Computer a("a", server);
    const std::string phone = PhoneTodo("p1", "Zahnarzt \xE6\x97\xA5\xE6\x9C\xAC", "X-PHONE:keep\r\n");
    server.PutObject("p1.ics", phone);
    SyncOutcome out = a.Sync();
    ASSERT_EQ(out.status, SyncStatus::Ok);
    ASSERT_EQ(out.notices.size(), 1u);
    EXPECT_NE(out.notices[0].find("Zahnarzt ??"), std::string::npos) << out.notices[0];
    EXPECT_EQ(a.Texts(), (std::vector<std::string>{"Zahnarzt ??"}));
    out = a.Sync();
    EXPECT_EQ(out.notices.size(), 0u);
    EXPECT_EQ(server.Object("p1.ics"), phone) << "not written back";
    a.EditText(1, "Zahnarzt morgen");
    ASSERT_EQ(a.Sync().status, SyncStatus::Ok);
    EXPECT_NE(server.Object("p1.ics").find("SUMMARY:Zahnarzt morgen"), std::string::npos);
    EXPECT_NE(server.Object("p1.ics").find("X-PHONE:keep"), std::string::npos);
}

#ifdef _WIN32
// With the program's code page, UTF-8, what either side writes reaches the
// other byte for byte, in every script, and nothing is taken for a text the
// code page cannot hold. A stick of another program's bytes (not UTF-8) goes
// to the server as it is shown, with U+FFFD, never as an empty text.
TEST(SyncEngine, EveryScriptGoesBothWaysWhereTheCodePageIsUtf8) {
    ASSERT_EQ(GetACP(), static_cast<UINT>(CP_UTF8));
    const AnsiCodec codec;
    FakeCalDav server;
    Computer a("a", server, &codec), b("b", server, &codec);
    const std::string mine = "Caf\xC3\xA9 \xE2\x98\x95 \xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82 "
                             "\xE4\xBD\xA0\xE5\xA5\xBD";  // Café ☕ Привет 你好
    const std::string phones = "Zahnarzt \xE6\x97\xA5\xE6\x9C\xAC \xF0\x9F\x98\x80";  // Zahnarzt 日本 😀
    a.AddStick(mine, 20240305, 9);
    ASSERT_EQ(a.Sync().status, SyncStatus::Ok);
    ASSERT_EQ(server.Objects().size(), 1u);
    EXPECT_NE(server.Objects().begin()->second.find("SUMMARY:" + mine + "\r\n"), std::string::npos);
    server.PutObject("p1.ics", PhoneTodo("p1", phones));

    auto sorted = [](std::vector<std::string> texts) {
        std::sort(texts.begin(), texts.end());
        return texts;
    };
    const std::vector<std::string> both = sorted({mine, phones});
    SyncOutcome out = b.Sync();
    ASSERT_EQ(out.status, SyncStatus::Ok);
    EXPECT_TRUE(out.notices.empty()) << out.notices[0];
    EXPECT_EQ(sorted(b.Texts()), both);
    out = a.Sync();
    EXPECT_TRUE(out.notices.empty());
    EXPECT_EQ(sorted(a.Texts()), both);
    EXPECT_EQ(server.Object("p1.ics"), PhoneTodo("p1", phones)) << "nothing to write back";

    a.AddStick("Caf\xE9", 20240306);
    ASSERT_EQ(a.Sync().pushed, 1);
    int shown = 0;
    for (const auto& [name, ics] : server.Objects()) shown += ics.find("SUMMARY:Caf\xEF\xBF\xBD\r\n") != std::string::npos;
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(a.Texts().back(), "Caf\xE9") << "kept here as it was";
    EXPECT_EQ(a.Sync().pushed, 0);
}
#endif

TEST(SyncEngine, DiaryWrittenOnBothSidesKeepsBothTexts) {
    FakeCalDav server;
    Computer a("a", server), b("b", server);
    a.WriteDay("2024-03-05.txt", "morning on A\r\n");
    b.WriteDay("2024-03-05.txt", "morning on B\r\n");
    ASSERT_EQ(a.Sync().status, SyncStatus::Ok);
    const SyncOutcome out = b.Sync();
    ASSERT_EQ(out.status, SyncStatus::Ok);
    EXPECT_EQ(b.Day("2024-03-05.txt"), "morning on A\r\nmorning on B\r\n");
    ASSERT_EQ(a.Sync().status, SyncStatus::Ok);
    EXPECT_EQ(a.Day("2024-03-05.txt"), "morning on A\r\nmorning on B\r\n");
    // Appended on both sides afterwards: both additions, the server's first.
    a.WriteDay("2024-03-05.txt", a.Day("2024-03-05.txt") + "lunch\r\n");
    b.WriteDay("2024-03-05.txt", b.Day("2024-03-05.txt") + "call\r\n");
    ASSERT_EQ(a.Sync().status, SyncStatus::Ok);
    ASSERT_EQ(b.Sync().status, SyncStatus::Ok);
    EXPECT_EQ(b.Day("2024-03-05.txt"), "morning on A\r\nmorning on B\r\nlunch\r\ncall\r\n");
}

TEST(IcsFiles, ExportedSticksImportOnceTheirUidsKeptEventsWithTimesBecomeAlarms) {
    FakeCalDav server;
    Computer a("a", server), b("b", server);
    a.AddStick("Dentist", 20240305, 14, pinora::kRepeatWeekly, 20240430);
    a.AddStick("Buy milk", 20240306);
    a.AddStick("Gone", 20240306);
    a.Delete(3);
    std::string ics;
    IcsCounts out;
    int uids = 0;
    ASSERT_TRUE(ExportSticks(a.Store(), a.State(), a.Ctx(), 0, [&] { return "file-uid-" + std::to_string(++uids); }, &ics, &out));
    EXPECT_EQ(out.written, 2) << "a deleted stick is not exported";
    std::string again;
    IcsCounts out2;
    ASSERT_TRUE(ExportSticks(a.Store(), a.State(), a.Ctx(), 20240306, [&] { return "file-uid-" + std::to_string(++uids); }, &again, &out2));
    EXPECT_EQ(out2.written, 1);
    EXPECT_NE(again.find("UID:file-uid-2"), std::string::npos) << "a stick keeps its UID from file to file";

    IcsCounts in;
    ASSERT_TRUE(ImportCalendar(ics, b.Store(), b.State(), b.Ctx(), &in));
    EXPECT_EQ(in.added, 2);
    EXPECT_EQ(b.Texts(), (std::vector<std::string>{"Dentist", "Buy milk"}));
    EXPECT_EQ(b.StickAt(1).repeat, pinora::kRepeatWeekly);
    IcsCounts twice;
    ASSERT_TRUE(ImportCalendar(ics, b.Store(), b.State(), b.Ctx(), &twice));
    EXPECT_EQ(twice.added, 0);
    EXPECT_EQ(twice.duplicates, 2);
    // The same UID with other words: brought up to the file's copy.
    const size_t at = ics.find("SUMMARY:Buy milk");
    std::string changed = ics;
    changed.replace(at, 16, "SUMMARY:Buy oat milk");
    IcsCounts updated;
    ASSERT_TRUE(ImportCalendar(changed, b.Store(), b.State(), b.Ctx(), &updated));
    EXPECT_EQ(updated.updated, 1);
    EXPECT_EQ(b.Texts(), (std::vector<std::string>{"Dentist", "Buy oat milk"}));

    // Another program's events: with a time a stick with an alarm, all-day a note.
    const std::string events =
        "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nBEGIN:VEVENT\r\nUID:ev-1\r\nSUMMARY:Concert\r\n"
        "DTSTART:20300601T190000Z\r\nDTEND:20300601T220000Z\r\nEND:VEVENT\r\nBEGIN:VEVENT\r\nUID:ev-2\r\n"
        "SUMMARY:Holiday\r\nDTSTART;VALUE=DATE:20300602\r\nEND:VEVENT\r\nBEGIN:VEVENT\r\nSUMMARY:no uid\r\n"
        "DTSTART:20300601T190000Z\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n";
    IcsCounts fromEvents;
    ASSERT_TRUE(ImportCalendar(events, b.Store(), b.State(), b.Ctx(), &fromEvents));
    EXPECT_EQ(fromEvents.added, 2);
    EXPECT_EQ(fromEvents.unreadable, 1);
    EXPECT_TRUE(b.StickAt(3).hasAlarm);
    EXPECT_EQ(b.StickAt(3).hour, 19);
    EXPECT_FALSE(b.StickAt(4).hasAlarm);
    // Imported sticks go to the server with their own UIDs at the next sync.
    ASSERT_EQ(b.Sync().status, SyncStatus::Ok);
    EXPECT_FALSE(server.NameOfUid("ev-1").empty());
    EXPECT_FALSE(server.NameOfUid("file-uid-1").empty());
    EXPECT_EQ(server.Objects().size(), 4u);
    IcsCounts broken;
    EXPECT_FALSE(ImportCalendar("BEGIN:VCALENDAR\r\nBEGIN:VTODO\r\n", b.Store(), b.State(), b.Ctx(), &broken));
    EXPECT_NE(broken.error.find("ends inside"), std::string::npos);
}

}  // namespace
}  // namespace pnsync
