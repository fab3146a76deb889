// PnSync against a real Radicale (started by tests/support/with_radicale.sh):
// WinHTTP, the engine and the user's real tables under Wine. Another HTTP
// client stands in for the phone.
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <cstdlib>
#include <thread>

#include "AlarmCode.h"
#include "AlarmStore.h"
#include "MainMessages.h"
#include "PnSyncApi.h"
#include "Settings.h"
#include "StickMapping.h"
#include "StickStore.h"
#include "SyncController.h"
#include "TableLocalStore.h"
#include "WinHttpClient_win.h"
#include "WinTestSupport.h"

namespace pinora {
namespace {

using pnsync::StickFields;

std::string Env(const char* name) {
    const char* v = std::getenv(name);
    return v ? v : "";
}

// A Unix path as Wine shows it.
std::string WinePath(const std::string& unixPath) {
    std::string p = "Z:" + unixPath;
    for (char& c : p)
        if (c == '/') c = '\\';
    return p;
}

// One user of one computer: its data folder and sync state.
class Pc {
public:
    explicit Pc(const char* name) : folder_(test::MakeTempFolder(name)) {
        CreateDirectoryA((folder_ + "data").c_str(), nullptr);
        CreateDirectoryA((folder_ + "data\\sticks").c_str(), nullptr);
    }
    ~Pc() { test::RemoveFolder(folder_); }

    PnSyncResult Sync(const std::string& url, const std::string& password = "secret", const std::string& pin = "") {
        const std::string data = Data(), state = folder_ + "sync.db";
        PnSyncJob job = {};
        job.version = PNSYNC_VERSION;
        job.dataFolder = data.c_str();
        job.stateFile = state.c_str();
        job.url = url.c_str();
        job.user = "alice";
        job.password = password.c_str();
        job.certSha256 = pin.c_str();
        PnSyncResult r = {};
        EXPECT_EQ(PnSync_Run(&job, &r), 1);
        return r;
    }
    int Add(const std::string& text, int date, int hour = -1, int repeat = kRepeatDaily, int end = 0,
            const char* weekly = "0000000") {
        StickFields f;
        f.text = text;
        f.date = date;
        if (hour >= 0) {
            f.hasAlarm = true;
            f.hour = hour;
            f.repeat = repeat;
            f.endDate = end ? end : date;
            f.weekly = weekly;
        }
        return SaveNewStick(Data() + "sticks\\", date, text, pnsync::RecordFromStick(f));
    }
    StickFields At(int n) const {
        StickFields f;
        pnsync::ParseStick(pnsync::TableLocalStore(Data()).StickFieldsOf(n), &f);
        return f;
    }
    long Count() const { return CountRecords(Data() + "sticks\\" + kStickIndexName); }
    std::string Data() const { return folder_ + "data\\"; }
    const std::string& Folder() const { return folder_; }

private:
    std::string folder_;
};

// The collection's files in Radicale's storage.
std::vector<std::string> ServerObjects() {
    std::vector<std::string> bodies;
    const std::string folder = WinePath(Env("PINORA_RADICALE_STORAGE")) + "\\collection-root\\alice\\tasks\\";
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA((folder + "*.ics").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE) return bodies;
    do bodies.push_back(test::ReadFileBytes(folder + found.cFileName));
    while (FindNextFileA(find, &found));
    FindClose(find);
    return bodies;
}

std::string ServerObjectWith(const std::string& text) {
    for (const std::string& body : ServerObjects())
        if (body.find(text) != std::string::npos) return body;
    return "";
}

// The phone: plain HTTP of its own.
int PhonePut(const std::string& name, const std::string& ics) {
    pnsync::WinHttpClient phone("");
    pnsync::HttpRequest r;
    r.method = "PUT";
    r.url = Env("PINORA_RADICALE_URL") + name;
    r.body = ics;
    r.headers = {{"Authorization", "Basic " + pnsync::Base64("alice:secret")}, {"Content-Type", "text/calendar"}};
    return phone.Send(r).status;
}

int PhoneDelete(const std::string& name) {
    pnsync::WinHttpClient phone("");
    pnsync::HttpRequest r;
    r.method = "DELETE";
    r.url = Env("PINORA_RADICALE_URL") + name;
    r.headers = {{"Authorization", "Basic " + pnsync::Base64("alice:secret")}};
    return phone.Send(r).status;
}

std::string Uid(const std::string& ics) {
    const size_t at = ics.find("UID:");
    return at == std::string::npos ? "" : ics.substr(at + 4, ics.find_first_of("\r\n", at) - at - 4);
}

std::string ReplaceSummary(std::string ics, const std::string& summary) {
    const size_t at = ics.find("SUMMARY:");
    return ics.replace(at, ics.find("\n", at) - at, "SUMMARY:" + summary + "\r");
}

class RadicaleTest : public ::testing::Test {
protected:
    void SetUp() override {
        url = Env("PINORA_RADICALE_URL");
        if (url.empty()) GTEST_SKIP() << "run through tests/support/with_radicale.sh";
        // Each test starts from an empty calendar.
        for (const std::string& body : ServerObjects()) PhoneDelete(Uid(body) + ".ics");
    }
    std::string url;
};

TEST_F(RadicaleTest, AStickReachesTheServerAndThePhonesEditsAndDeletionsComeBack) {
    Pc a("sync-a");
    a.Add("Dentist", 20300305, 14, kRepeatWeekly, 20300430, "0010000");  // Tuesdays
    PnSyncResult r = a.Sync(url);
    ASSERT_EQ(r.status, PNSYNC_OK) << r.detail;
    EXPECT_EQ(r.pushed, 1);
    const std::string body = ServerObjectWith("SUMMARY:Dentist");
    ASSERT_FALSE(body.empty());
    TIME_ZONE_INFORMATION tz;
    GetTimeZoneInformation(&tz);
    SYSTEMTIME local = {2030, 3, 2, 5, 14, 0, 0, 0}, utc = {};
    TzSpecificLocalTimeToSystemTime(nullptr, &local, &utc);
    char due[32];
    std::snprintf(due, sizeof due, "DUE:%04d%02d%02dT%02d%02d00Z", utc.wYear, utc.wMonth, utc.wDay, utc.wHour, utc.wMinute);
    EXPECT_NE(body.find(due), std::string::npos) << body;
    EXPECT_NE(body.find("RRULE:FREQ=WEEKLY;BYDAY=TU;UNTIL=20300430T"), std::string::npos) << body;
    EXPECT_NE(body.find("TRIGGER:-PT30M"), std::string::npos);
    EXPECT_NE(body.find("TRIGGER:PT0S"), std::string::npos);

    // The phone rewords it and adds one of its own.
    const std::string uid = Uid(body);
    ASSERT_EQ(PhonePut(uid + ".ics", ReplaceSummary(body, "Dentist with Ann")) / 100, 2);
    ASSERT_EQ(PhonePut("phone-1.ics",
                       "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//phone//EN\r\nBEGIN:VTODO\r\nUID:phone-1\r\n"
                       "DTSTAMP:20300101T000000Z\r\nSUMMARY:Call Bo\r\nDUE:20300306T090000Z\r\nEND:VTODO\r\n"
                       "END:VCALENDAR\r\n") / 100,
              2);
    r = a.Sync(url);
    ASSERT_EQ(r.status, PNSYNC_OK) << r.detail;
    EXPECT_EQ(a.At(1).text, "Dentist with Ann");
    EXPECT_EQ(a.At(1).repeat, kRepeatWeekly);
    EXPECT_EQ(a.At(2).text, "Call Bo");
    EXPECT_TRUE(a.At(2).hasAlarm);

    // Deleted on the phone, deleted here; deleted here, deleted there.
    ASSERT_EQ(PhoneDelete("phone-1.ics") / 100, 2);
    a.Sync(url);
    EXPECT_EQ(a.At(2).status, pnsync::StickStatus::Deleted);
    ASSERT_TRUE(SetAlarmField(a.Data() + "sticks\\" + kAlarmTableName, 1, kAlarm5, pnsync::kDeletedMark));
    ASSERT_TRUE(SetAlarmField(a.Data() + "sticks\\" + kAlarmTableName, 1, kAlarmState, kStateFinished));
    r = a.Sync(url);
    EXPECT_EQ(r.deletedThere, 1);
    EXPECT_TRUE(ServerObjects().empty());
}

TEST_F(RadicaleTest, AConflictKeepsBothTextsAndANoChangeSyncIsOneRequest) {
    Pc a("sync-a"), b("sync-b");
    a.Add("Pick up parcel", 20300305, 10);
    ASSERT_EQ(a.Sync(url).status, PNSYNC_OK);
    ASSERT_EQ(b.Sync(url).status, PNSYNC_OK);
    ASSERT_EQ(b.Count(), 1);
    PnSyncResult quiet = a.Sync(url);
    EXPECT_EQ(quiet.requests, 1) << "nothing changed: one request";

    StickFields fa = a.At(1), fb = b.At(1);
    fa.text = "Pick up parcel at the post office";
    fb.text = "Pick up parcel before noon";
    ASSERT_TRUE(SaveExistingStick(a.Data() + "sticks\\", 1, fa.date, fa.text, pnsync::RecordFromStick(fa)));
    ASSERT_TRUE(SaveExistingStick(b.Data() + "sticks\\", 1, fb.date, fb.text, pnsync::RecordFromStick(fb)));
    ASSERT_EQ(a.Sync(url).status, PNSYNC_OK);
    const PnSyncResult r = b.Sync(url);
    ASSERT_EQ(r.status, PNSYNC_OK) << r.detail;
    EXPECT_EQ(r.conflicts, 1);
    EXPECT_NE(std::string(r.notices).find("before noon"), std::string::npos) << r.notices;
    ASSERT_EQ(b.Count(), 2);
    EXPECT_EQ(b.At(1).text, "Pick up parcel at the post office");
    EXPECT_EQ(b.At(2).text, "Pick up parcel before noon");
    ASSERT_EQ(a.Sync(url).status, PNSYNC_OK);
    EXPECT_EQ(a.Count(), 2);
    EXPECT_EQ(ServerObjects().size(), 2u);
}

TEST_F(RadicaleTest, TheServerStoppedMidSyncAndStartedAgainLeavesNoDuplicateAndLosesNothing) {
    Pc a("sync-a");
    constexpr int kSticks = 120;
    for (int i = 0; i < kSticks; ++i) a.Add("stick " + std::to_string(i), 20300101 + i % 28, 8);
    const std::string control = WinePath(Env("PINORA_RADICALE_CONTROL"));
    std::atomic<bool> stopped{false};
    std::thread stopper([&] {
        // Once a part has arrived, the server goes away.
        for (int i = 0; i < 2000 && ServerObjects().size() < 15; ++i) Sleep(5);
        test::WriteFileBytes(control, "stop");
        stopped = true;
    });
    const PnSyncResult broken = a.Sync(url);
    stopper.join();
    EXPECT_EQ(broken.status, PNSYNC_OFFLINE) << broken.detail;
    const size_t partly = ServerObjects().size();
    EXPECT_LT(partly, static_cast<size_t>(kSticks));
    test::WriteFileBytes(control, "start");
    PnSyncResult r = {};
    for (int attempt = 0; attempt < 50; ++attempt) {
        r = a.Sync(url);
        if (r.status == PNSYNC_OK) break;
        Sleep(100);
    }
    ASSERT_EQ(r.status, PNSYNC_OK) << r.detail;
    EXPECT_EQ(ServerObjects().size(), static_cast<size_t>(kSticks));
    EXPECT_EQ(a.Count(), kSticks);
    Pc b("sync-b");
    ASSERT_EQ(b.Sync(url).status, PNSYNC_OK);
    EXPECT_EQ(b.Count(), kSticks);
}

TEST_F(RadicaleTest, ASelfSignedCertificateIsTakenOnlyWhenPinned) {
    Pc a("sync-a");
    a.Add("Over TLS", 20300305, 9);
    const std::string tls = Env("PINORA_RADICALE_TLS_URL");
    PnSyncResult r = a.Sync(tls);
    EXPECT_EQ(r.status, PNSYNC_CERTIFICATE) << "not trusted without the pin";
    r = a.Sync(tls, "secret", std::string(64, 'A'));
    EXPECT_EQ(r.status, PNSYNC_CERTIFICATE) << "another certificate than the pinned one";
    EXPECT_NE(std::string(r.detail).find("pinned"), std::string::npos) << r.detail;
    r = a.Sync(tls, "secret", Env("PINORA_RADICALE_TLS_SHA256"));
    ASSERT_EQ(r.status, PNSYNC_OK) << r.detail;
    EXPECT_EQ(r.pushed, 1);
}

// The main window's part: a window that hands the controller its messages.
class SyncHostWindow {
public:
    SyncHostWindow() {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = &Proc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "PinoraSyncTestHost";
        RegisterClassA(&wc);
        hwnd = CreateWindowA(wc.lpszClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, this);
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        controller = std::make_unique<SyncController>(hwnd);
    }
    ~SyncHostWindow() {
        controller.reset();
        DestroyWindow(hwnd);
    }
    static LRESULT CALLBACK Proc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
        auto* self = reinterpret_cast<SyncHostWindow*>(GetWindowLongPtrA(h, GWLP_USERDATA));
        if (self && self->controller) {
            if (msg == MWM_SYNCCALL) return self->controller->OnCall(wp, lp), 0;
            if (msg == MWM_SYNCDONE) return self->controller->OnDone(), 0;
            if (msg == WM_TIMER) return self->controller->OnTimer(wp), 0;
        }
        return DefWindowProcA(h, msg, wp, lp);
    }
    HWND hwnd = nullptr;
    std::unique_ptr<SyncController> controller;
};

TEST_F(RadicaleTest, AWrongPasswordGivesOneBalloonAndNoLoopOfRequests) {
    test::ProgramFolderFixture program;
    Pc a("sync-a");
    a.Add("Dentist", 20300305, 14);
    WriteSetting(url.c_str(), "SYNC", "sync_url");
    WriteSetting("alice", "SYNC", "sync_user");
    WriteSetting("wrong", "SYNC", "sync_password");  // as a script writes it: plain
    SyncHostWindow host;
    host.controller->SetLibraryFolder(PINORA_DIST_DIR "\\");
    std::vector<std::string> balloons;
    host.controller->SetBalloon([&](const std::string&, const std::string& text) { balloons.push_back(text); });
    host.controller->Update(true, a.Folder());
    EXPECT_TRUE(ReadSetting("SYNC", "sync_password", 4096).rfind("dpapi1:", 0) == 0) << "the plain password is replaced";
    EXPECT_TRUE(host.controller->TimerRunning());
    ASSERT_TRUE(test::PumpUntil([&] { return host.controller->LastReport().ran && !host.controller->Running(); }, 15000));
    EXPECT_EQ(host.controller->LastReport().result.status, PNSYNC_AUTH_FAILED) << host.controller->LastReport().result.detail;
    EXPECT_EQ(host.controller->LastReport().result.requests, 1);
    ASSERT_EQ(balloons.size(), 1u);
    // The timers keep coming; nothing more is tried, nothing more is said.
    for (int i = 0; i < 5; ++i) host.controller->OnTimer(kSyncTimer);
    host.controller->SoonAfterSave();
    test::PumpUntil([] { return false; }, 300);
    EXPECT_EQ(host.controller->Runs(), 1);
    EXPECT_EQ(balloons.size(), 1u);
    EXPECT_TRUE(ServerObjects().empty());
    // The right password, through the page's way: the next sync goes through.
    SyncSettings s = ReadSyncSettings();
    s.password = "secret";
    ASSERT_TRUE(WriteSyncSettings(s, true));
    host.controller->Update(true, a.Folder());
    host.controller->SyncNow();
    ASSERT_TRUE(test::PumpUntil([&] { return host.controller->Runs() == 2 && !host.controller->Running(); }, 15000));
    EXPECT_EQ(host.controller->LastReport().result.status, PNSYNC_OK) << host.controller->LastReport().result.detail;
    EXPECT_EQ(ServerObjects().size(), 1u);
    // Logged out: no timer, and the library goes.
    host.controller->Update(false, a.Folder());
    EXPECT_FALSE(host.controller->TimerRunning());
    EXPECT_FALSE(host.controller->LibraryLoaded());
}

}  // namespace
}  // namespace pinora
