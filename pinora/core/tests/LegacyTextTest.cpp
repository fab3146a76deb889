// Converting a folder that an earlier version wrote in the legacy code page:
// Western (1252) and Cyrillic (1251) text, passwords inside the old cipher,
// files that are UTF-8 or ASCII already, fields too small for the UTF-8 form,
// and a run cut short that the next start finishes. Real files, through the
// platform's own file operations.
#include "LegacyText.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>

#ifdef _WIN32
#include <direct.h>
#else
#include <sys/stat.h>
#endif

#include "AlarmStore.h"
#include "LegacyCodePages.h"
#include "StickStore.h"
#include "Tabulo.h"
#include "TextCipher.h"
#include "Users.h"

namespace pinora {
namespace {

constexpr char kSep =
#ifdef _WIN32
    '\\';
#else
    '/';
#endif

void MakeFolder(const std::string& path) {
#ifdef _WIN32
    _mkdir(path.c_str());
#else
    mkdir(path.c_str(), 0755);
#endif
}

std::string Cipher(const char* plain) {
    char out[kCipherFieldSize] = {};
    EXPECT_EQ(cryptField(plain, out, 0), 1) << plain;
    return out;
}

std::string Plain(const std::string& cipher) {
    char out[kCipherFieldSize] = {};
    return cryptField(cipher.c_str(), out, 1) == 1 ? out : "<not cipher text>";
}

std::string Field(const std::string& path, long n, int field) {
    FileDBF table;
    char buf[300] = {};
    if (table.Open(path.c_str()) != 0 || table.Go(n) != 0 || table.ReadField(field, buf) != 0) return "<unreadable>";
    return buf;
}

// A user as an earlier version added one: the password in the old cipher.
void AddOldUser(const std::string& path, const char* name, const char* password) {
    ASSERT_EQ(addUserTo(path, name, ""), 1);
    FileDBF users;
    ASSERT_EQ(users.Open(path.c_str()), 0);
    ASSERT_EQ(users.Go(users.GetRecords()), 0);
    ASSERT_EQ(users.WriteField(3, const_cast<char*>(Cipher(password).c_str())), 0);
}

// Fails the move of one file into place, as a run cut short there would leave it.
class FailingAt : public FolderAccess {
public:
    FailingAt(FolderAccess& real, std::string target) : real_(real), target_(std::move(target)) {}
    bool Exists(const std::string& p) const override { return real_.Exists(p); }
    bool Read(const std::string& p, std::string& b) const override { return real_.Read(p, b); }
    bool WriteNew(const std::string& p, const std::string& b) override { return real_.WriteNew(p, b); }
    bool MoveReplacing(const std::string& from, const std::string& to) override {
        return to != target_ && real_.MoveReplacing(from, to);
    }
    std::vector<std::string> FilesEnding(const std::string& f, const std::string& s) const override {
        return real_.FilesEnding(f, s);
    }

private:
    FolderAccess& real_;
    std::string target_;
};

class LegacyFolderTest : public ::testing::Test {
protected:
    void SetUp() override {
        const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
        const char* temp = std::getenv("TMPDIR");
#ifdef _WIN32
        temp = std::getenv("TEMP");
#endif
        root = std::string(temp && *temp ? temp : "/tmp") + kSep + "pinora-legacy-" + std::to_string(stamp) + kSep;
        MakeFolder(root);
    }
    void TearDown() override {
#ifndef _WIN32
        std::system(("rm -rf '" + root + "'").c_str());
#endif
    }

    std::string Read(const std::string& path) {
        std::string bytes;
        return files.Read(path, bytes) ? bytes : "<missing>";
    }
    void Write(const std::string& path, const std::string& bytes) { ASSERT_TRUE(files.WriteNew(path, bytes)) << path; }

    // A user's folder tree, its name as the file system holds it (UTF-8 here).
    std::string UserData(const std::string& utf8Name) {
        MakeFolder(root + utf8Name);
        MakeFolder(root + utf8Name + kSep + "data");
        MakeFolder(root + utf8Name + kSep + "data" + kSep + "sticks");
        return root + utf8Name + kSep + "data" + kSep;
    }

    ConversionReport Convert(unsigned codePage, LegacyDecoder decode, FolderAccess* access = nullptr) {
        FolderConversion c;
        c.programFolder = root;
        c.codePage = codePage;
        c.decode = decode;
        c.files = access ? access : &files;
        return ConvertProgramFolder(c);
    }

    FolderAccess& files = SystemFolderAccess();
    std::string root;
};

// What an earlier version left on a Western Windows: a user "Zoë" with the
// password "café", a stick and a diary line with "Café".
TEST_F(LegacyFolderTest, WesternFolderIsConvertedOnceWithBackups) {
    const std::string ini = "[SETTINGS]\r\nauto_login_in=1\r\nauto_user=Zo\xEB\r\nauto_pwd=" + Cipher("caf\xE9") +
                            "\r\nskin_file=C:\\Pinora\\skins\\M\xE9" "daille.dll\r\nauto_remember_pwd=1\r\n";
    Write(root + "pinora.ini", ini);
    const std::string pnpbIni = "[UI]\r\nHAVE_USED=1\r\n";  // ASCII: left as it is
    Write(root + "pnpb.ini", pnpbIni);
    ASSERT_EQ(createUserTable(root + "user.dat"), 1);
    AddOldUser(root + "user.dat", "Zo\xEB", "caf\xE9");
    AddOldUser(root + "user.dat", "anna", "secret");
    {  // a user of the new version: a login hash, which is no cipher text
        FileDBF users;
        ASSERT_EQ(users.Open((root + "user.dat").c_str()), 0);
        ASSERT_EQ(users.Go(2), 0);
        ASSERT_EQ(users.WriteField(3, const_cast<char*>("$argon2id$v=19$m=65536,t=3,p=1$c2FsdA$aGFzaA")), 0);
    }
    const std::string data = UserData("Zo\xC3\xAB");
    AlarmRecord alarm;
    alarm.stick = "Caf\xE9 \x80 5";
    ASSERT_EQ(SaveNewStick(data + "sticks" + kSep, 20240102, "Caf\xE9 \x80 5", alarm), 1);
    Write(data + "2024-01-02.txt", "Caf\xE9 au lait\r\nsecond line\r\n");
    const std::string alarmPath = data + "sticks" + kSep + "alarm.ser";
    const std::string oldUsers = Read(root + "user.dat"), oldAlarms = Read(alarmPath);

    const ConversionReport first = Convert(1252, legacy_test::Decode1252);
    ASSERT_TRUE(first.finished) << first.failedPath;
    EXPECT_EQ(first.filesConverted, 5);  // pinora.ini, user.dat, the diary day and both tables
    EXPECT_TRUE(first.notes.empty());

    const std::string converted = Read(root + "pinora.ini");
    EXPECT_NE(converted.find("auto_user=Zo\xC3\xAB\r\n"), std::string::npos) << converted;
    EXPECT_NE(converted.find("skin_file=C:\\Pinora\\skins\\M\xC3\xA9" "daille.dll\r\n"), std::string::npos);
    EXPECT_EQ(Plain(IniValue(converted, "SETTINGS", "auto_pwd")), "caf\xC3\xA9");
    EXPECT_EQ(Read(root + "pinora.ini.1252.bak"), ini);
    EXPECT_EQ(Read(root + "pnpb.ini"), pnpbIni);
    EXPECT_FALSE(files.Exists(root + "pnpb.ini.1252.bak"));

    // The user logs in with the name and password typed in UTF-8, any case.
    EXPECT_EQ(userNamesIn(root + "user.dat"), (std::vector<std::string>{"Zo\xC3\xAB", "anna"}));
    EXPECT_EQ(checkLoginIn(root + "user.dat", "ZO\xC3\x8B", "caf\xC3\xA9"), 1);
    EXPECT_EQ(Field(root + "user.dat", 2, 3), "$argon2id$v=19$m=65536,t=3,p=1$c2FsdA$aGFzaA");
    EXPECT_EQ(Read(root + "user.dat.1252.bak"), oldUsers);

    EXPECT_EQ(Field(data + "sticks" + kSep + "sticks.esf", 1, 3), "Caf\xC3\xA9 \xE2\x82\xAC 5");
    EXPECT_EQ(Field(alarmPath, 1, kAlarmStick), "Caf\xC3\xA9 \xE2\x82\xAC 5");
    // The header's date of last writing is what the reminders judge their flags by.
    EXPECT_EQ(Read(alarmPath).substr(0, 32), oldAlarms.substr(0, 32));
    EXPECT_EQ(Read(data + "2024-01-02.txt"), "Caf\xC3\xA9 au lait\r\nsecond line\r\n");

    // A second start finds nothing to do and touches nothing.
    const ConversionReport second = Convert(1252, legacy_test::Decode1252);
    EXPECT_TRUE(second.finished);
    EXPECT_EQ(second.filesConverted, 0);
    EXPECT_EQ(Read(root + "pinora.ini"), converted);
    EXPECT_EQ(Read(root + "pinora.ini.1252.bak"), ini);
}

TEST_F(LegacyFolderTest, CyrillicTextTooLongForItsFieldIsCutBetweenCharacters) {
    ASSERT_EQ(createUserTable(root + "user.dat"), 1);
    // 40 letters: 40 bytes in 1251, 80 in UTF-8, more than the 63 a name may have.
    const std::string longName(40, '\xC8');
    AddOldUser(root + "user.dat", longName.c_str(), "x");
    AddOldUser(root + "user.dat", "\xC8\xE2\xE0\xED", "\xEF\xE0\xF0\xEE\xEB\xFC");  // Иван, пароль
    const std::string data = UserData("\xD0\x98\xD0\xB2\xD0\xB0\xD0\xBD");
    const std::string sticks = data + "sticks" + kSep;
    AlarmRecord alarm;
    alarm.stick = "\xCF\xF0\xE8\xE2\xE5\xF2";  // Привет
    ASSERT_EQ(SaveNewStick(sticks, 20240102, alarm.stick, alarm), 1);
    alarm.stick = std::string(200, '\xFF');  // 200 × я: 400 bytes in UTF-8
    ASSERT_EQ(SaveNewStick(sticks, 20240103, alarm.stick, alarm), 2);

    const ConversionReport report = Convert(1251, legacy_test::Decode1251);
    ASSERT_TRUE(report.finished) << report.failedPath;
    EXPECT_EQ(Field(sticks + "sticks.esf", 1, 3), "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82");
    std::string cut;
    for (int i = 0; i < 127; ++i) cut += "\xD1\x8F";
    EXPECT_EQ(Field(sticks + "sticks.esf", 2, 3), cut);  // 254 bytes, never half a letter
    EXPECT_EQ(Field(sticks + "alarm.ser", 2, kAlarmStick), cut);
    EXPECT_EQ(checkLoginIn(root + "user.dat", "\xD0\xB8\xD0\xB2\xD0\xB0\xD0\xBD",
                           "\xD0\xBF\xD0\xB0\xD1\x80\xD0\xBE\xD0\xBB\xD1\x8C"), 1);
    // A name names a folder: never cut, left as it was, and said so.
    EXPECT_EQ(Field(root + "user.dat", 1, 2), longName);
    ASSERT_EQ(report.notes.size(), 3u);
    EXPECT_NE(report.notes[0].find("record 1 field USERNAME"), std::string::npos) << report.notes[0];
    EXPECT_NE(report.notes[1].find("sticks.esf: record 2 field STICK: shortened to 254 bytes"), std::string::npos)
        << report.notes[1];
}

TEST_F(LegacyFolderTest, TextThatIsUtf8AlreadyStaysAsItIs) {
    Write(root + "pinora.ini", "[SETTINGS]\r\nauto_user=Zo\xC3\xAB\r\n");
    ASSERT_EQ(createUserTable(root + "user.dat"), 1);
    ASSERT_EQ(addUserTo(root + "user.dat", "Zo\xC3\xAB", "caf\xC3\xA9"), 1);
    const std::string data = UserData("Zo\xC3\xAB");
    const std::string utf8Note = "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82 \xE2\x98\x95\r\n";
    Write(data + "2024-01-01.txt", utf8Note);
    // A day the earlier version began and the new one went on with: only the old line changes.
    Write(data + "2024-01-02.txt", "Caf\xE9\r\n" + utf8Note);
    const std::string usersBefore = Read(root + "user.dat");

    const ConversionReport report = Convert(1252, legacy_test::Decode1252);
    ASSERT_TRUE(report.finished);
    EXPECT_EQ(report.filesConverted, 1);
    EXPECT_EQ(Read(data + "2024-01-01.txt"), utf8Note);
    EXPECT_EQ(Read(data + "2024-01-02.txt"), "Caf\xC3\xA9\r\n" + utf8Note);
    EXPECT_EQ(Read(root + "user.dat"), usersBefore);
    for (const char* untouched : {"pinora.ini", "user.dat"}) EXPECT_FALSE(files.Exists(BackupPath(root + untouched, 1252)));
    EXPECT_FALSE(files.Exists(BackupPath(data + "2024-01-01.txt", 1252)));
}

TEST_F(LegacyFolderTest, RunCutShortIsFinishedByTheNextStart) {
    const std::string ini = "[SETTINGS]\r\nauto_user=Zo\xEB\r\n";
    Write(root + "pinora.ini", ini);
    ASSERT_EQ(createUserTable(root + "user.dat"), 1);
    AddOldUser(root + "user.dat", "Zo\xEB", "caf\xE9");
    const std::string sticks = UserData("Zo\xC3\xAB") + "sticks" + kSep;
    AlarmRecord alarm;
    alarm.stick = "Caf\xE9";
    ASSERT_EQ(SaveNewStick(sticks, 20240102, "Caf\xE9", alarm), 1);
    const std::string oldAlarms = Read(sticks + "alarm.ser");

    FailingAt cut(files, sticks + "alarm.ser");
    const ConversionReport first = Convert(1252, legacy_test::Decode1252, &cut);
    EXPECT_FALSE(first.finished);
    EXPECT_EQ(first.failedPath, sticks + "alarm.ser");
    EXPECT_EQ(Read(sticks + "alarm.ser"), oldAlarms);  // as it was, its backup beside it
    EXPECT_EQ(Read(BackupPath(sticks + "alarm.ser", 1252)), oldAlarms);

    const ConversionReport second = Convert(1252, legacy_test::Decode1252);
    ASSERT_TRUE(second.finished);
    EXPECT_EQ(second.filesConverted, 1);  // only what the first run left
    EXPECT_EQ(Field(sticks + "alarm.ser", 1, kAlarmStick), "Caf\xC3\xA9");
    // The backups are the files as the earlier version left them, never a converted copy.
    EXPECT_EQ(Read(root + "pinora.ini.1252.bak"), ini);
    EXPECT_EQ(Read(BackupPath(sticks + "alarm.ser", 1252)), oldAlarms);
    EXPECT_EQ(Convert(1252, legacy_test::Decode1252).filesConverted, 0);
}

TEST(LegacyTextTest, SettingsLinesAndSecrets) {
    std::string out;
    ConversionNotes notes;
    // Newer secret forms and values in UTF-8 stay; an old cipher text is re-encrypted.
    const std::string newer = "[SETTINGS]\nauto_pwd=dpapi1:0A1B\nsync_password=dpapi1:FF\n";
    EXPECT_FALSE(ConvertIniText(newer, legacy_test::Decode1252, {"SETTINGS/auto_pwd"}, out, notes));
    EXPECT_EQ(out, newer);
    EXPECT_FALSE(ConvertIniText("\xEF\xBB\xBF[A]\nk=\xE9\n", legacy_test::Decode1252, {}, out, notes));  // marked as Unicode
    // Key names compare case aside, as the settings calls read them; the file keeps its line ends.
    ASSERT_TRUE(ConvertIniText("[settings]\nAUTO_PWD = " + Cipher("\xE9t\xE9") + "\nlast=\xE9", legacy_test::Decode1252,
                               {"SETTINGS/auto_pwd"}, out, notes));
    EXPECT_EQ(Plain(IniValue(out, "SETTINGS", "auto_pwd")), "\xC3\xA9t\xC3\xA9");
    EXPECT_EQ(out.substr(out.size() - 8), "\nlast=\xC3\xA9");
    EXPECT_TRUE(notes.empty());
}

}  // namespace
}  // namespace pinora
