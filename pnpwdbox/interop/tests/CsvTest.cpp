// CSV exports of KeePassXC and the browsers, read and written.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "PasswordCsv.h"

namespace {

using namespace pninterop;

const char kHeader[] =
    "\"Group\",\"Title\",\"Username\",\"Password\",\"URL\",\"Notes\",\"TOTP\",\"Icon\",\"Last Modified\",\"Created\"\n";

// Three rows as KeePassXC writes them: every field quoted, a password with a
// quote and a comma, notes over two lines (one "\r\n" inside the field).
const char kRows[] =
    "\"Root\",\"B\xC3\xA4nk\",\"J\xC3\xB6rg\",\"se\"\"cr,et\",\"https://bank.example\",\"line1\r\nline2\",\"\",\"0\","
    "\"2026-01-02T03:04:05Z\",\"2026-01-02T03:04:05Z\"\n"
    "\"Root/W\xC3\xB6rk/Mail\",\"Ein \"\"Konto\"\", zwei\",\"\",\"p\",\"imap://x\",\"\",\"\",\"0\",\"\",\"\"\n"
    "\"Root/Recycle Bin\",\"old\",\"u\",\"p\",\"u\",\"\",\"\",\"0\",\"\",\"\"\n";

void ExpectKeePassXcRows(const ReadResult& r, int firstLine) {
    ASSERT_TRUE(r.ok()) << ProblemName(r.error.problem) << " line " << r.error.line;
    EXPECT_EQ(r.format, FileFormat::KeePassXcCsv);
    EXPECT_EQ(r.rootGroup, "Root");
    ASSERT_EQ(r.entries.size(), 3u);
    const Entry& bank = r.entries[0];
    EXPECT_EQ(bank.group, "");
    EXPECT_EQ(bank.title, "B\xC3\xA4nk");
    EXPECT_EQ(bank.user, "J\xC3\xB6rg");
    EXPECT_EQ(bank.password, "se\"cr,et");
    EXPECT_EQ(bank.url, "https://bank.example");
    EXPECT_EQ(bank.notes, "line1\nline2");
    EXPECT_EQ(bank.line, firstLine);
    EXPECT_FALSE(bank.recycled);
    const Entry& mail = r.entries[1];
    EXPECT_EQ(mail.group, "W\xC3\xB6rk/Mail");
    EXPECT_EQ(mail.title, "Ein \"Konto\", zwei");
    EXPECT_EQ(mail.user, "");
    EXPECT_EQ(mail.line, firstLine + 2);  // the notes above took two lines
    EXPECT_EQ(r.entries[2].group, "Recycle Bin");
    EXPECT_TRUE(r.entries[2].recycled);
}

TEST(CsvReadTest, KeePassXcExportWithOrWithoutHeaderAndByteOrderMark) {
    ExpectKeePassXcRows(ReadPasswordCsv(std::string(kHeader) + kRows), 2);
    ExpectKeePassXcRows(ReadPasswordCsv(std::string("\xEF\xBB\xBF") + kHeader + kRows), 2);
    ExpectKeePassXcRows(ReadPasswordCsv(kRows), 1);
    // Windows line ends between rows and a blank line change nothing but lines.
    std::string crlf;
    for (char c : std::string(kHeader) + kRows) {
        if (c == '\n' && (crlf.empty() || crlf.back() != '\r')) crlf += '\r';
        crlf += c;
    }
    ExpectKeePassXcRows(ReadPasswordCsv("\r\n" + crlf), 3);
}

TEST(CsvReadTest, OnlyARootThatEveryRowSharesIsDropped) {
    const ReadResult mixed = ReadPasswordCsv(std::string(kHeader) +
                                             "Root/a,t,u,p,x,,,0,,\n"
                                             "Other/b,t,u,p,x,,,0,,\n"
                                             "Root,t,u,p,x,,,0,,\n");
    ASSERT_TRUE(mixed.ok());
    EXPECT_EQ(mixed.rootGroup, "");
    EXPECT_EQ(mixed.entries[0].group, "a");
    EXPECT_EQ(mixed.entries[1].group, "Other/b");
    EXPECT_EQ(mixed.entries[2].group, "");

    const ReadResult cli = ReadPasswordCsv(std::string(kHeader) + "Passwords/a/b,t,u,p,x,,,0,,\n");
    ASSERT_TRUE(cli.ok());
    EXPECT_EQ(cli.rootGroup, "Passwords");  // the name keepassxc-cli gives a new database's root
    EXPECT_EQ(cli.entries[0].group, "a/b");
}

TEST(CsvReadTest, BrowserExportsAreFoundByTheirHeader) {
    const ReadResult chrome = ReadPasswordCsv(
        "name,url,username,password,note\n"
        "example.com,https://example.com/login,ann,\"p,w\",\"two\nlines\"\n");
    ASSERT_TRUE(chrome.ok());
    EXPECT_EQ(chrome.format, FileFormat::BrowserCsv);
    ASSERT_EQ(chrome.entries.size(), 1u);
    EXPECT_EQ(chrome.entries[0].title, "example.com");
    EXPECT_EQ(chrome.entries[0].url, "https://example.com/login");
    EXPECT_EQ(chrome.entries[0].user, "ann");
    EXPECT_EQ(chrome.entries[0].password, "p,w");
    EXPECT_EQ(chrome.entries[0].notes, "two\nlines");
    EXPECT_EQ(chrome.entries[0].group, "");

    const ReadResult firefox = ReadPasswordCsv(
        "\"url\",\"username\",\"password\",\"httpRealm\",\"formActionOrigin\",\"guid\",\"timeCreated\","
        "\"timeLastUsed\",\"timePasswordChanged\"\n"
        "\"https://a.example\",\"bo\",\"s3\",,\"https://a.example\",\"{1}\",\"1\",\"2\",\"3\"\n");
    ASSERT_TRUE(firefox.ok());
    ASSERT_EQ(firefox.entries.size(), 1u);
    EXPECT_EQ(firefox.entries[0].url, "https://a.example");
    EXPECT_EQ(firefox.entries[0].user, "bo");
    EXPECT_EQ(firefox.entries[0].password, "s3");
    EXPECT_EQ(firefox.entries[0].title, "");
}

TEST(CsvReadTest, UnreadableFilesNameTheLine) {
    struct Case {
        std::string text;
        ReadProblem problem;
        int line;
    };
    const Case cases[] = {
        {std::string(kHeader) + "a,b,c,d,e,f,,0,,\n\"a\",\"b\",\"c\",\"d\"\n", ReadProblem::RowLength, 3},
        {std::string(kHeader) + "a,b,c,d,e,f,,0,,,extra\n", ReadProblem::RowLength, 2},
        {std::string(kHeader) + "a,b,c,d,e,f,,0,,\n\na,\"b\nc,d,e,f,,0,,\n", ReadProblem::UnclosedQuote, 4},
        {std::string(kHeader) + "a,\"b\"x,c,d,e,f,,0,,\n", ReadProblem::TextAfterQuote, 2},
        {std::string(kHeader) + "a,b,c,d,e,f,,0,,\n\"ok\nstill\",b,c,\xC3,e,f,,0,,\n", ReadProblem::NotUtf8, 4},
        {std::string(kHeader) + "a,b,c,d\xC0\xAF,e,f,,0,,\n", ReadProblem::NotUtf8, 2},  // overlong "/"
        {std::string(kHeader) + "a,b,c,d,e,f,,0,,\n" + std::string("a,b,c,\0,e,f,,0,,\n", 17),
         ReadProblem::ControlCharacter, 3},
        {"\xFF\xFEG\0r\0", ReadProblem::Utf16, 1},
        {"", ReadProblem::Empty, 1},
        {"\n\n", ReadProblem::Empty, 1},
        {"a,b,c\n1,2,3\n", ReadProblem::NoPasswordColumn, 1},
        {"x" + std::string(300, ','), ReadProblem::TooLarge, 1},
    };
    for (const Case& c : cases) {
        const ReadResult r = ReadPasswordCsv(c.text);
        EXPECT_EQ(r.error.problem, c.problem) << c.text << " gave " << ProblemName(r.error.problem);
        EXPECT_EQ(r.error.line, c.line) << c.text;
        EXPECT_TRUE(r.entries.empty()) << c.text;
    }
}

TEST(CsvWriteTest, KeePassXcLayoutQuotesEverythingAndReadsBack) {
    std::vector<Entry> entries(3);
    entries[0] = {"", "T \"1\"", " lead", "=1+2,\"x\"", "https://e.example", "a\nb", "", 0, false, 0};
    entries[1] = {"G/\xC3\xBC", "t2", "", "p", "u", "", "", 0, false, 0};
    entries[2] = {"", "bad \xFF", "u", "p", "u", "", "", 0, false, 0};  // not UTF-8
    std::vector<size_t> skipped;
    const std::string csv = WriteKeePassXcCsv(entries, "Root", &skipped);
    EXPECT_EQ(skipped, std::vector<size_t>{2});
    EXPECT_EQ(csv, std::string(kHeader) +
                       "\"Root\",\"T \"\"1\"\"\",\" lead\",\"=1+2,\"\"x\"\"\",\"https://e.example\",\"a\nb\",\"\",\"0\","
                       "\"\",\"\"\n"
                       "\"Root/G/\xC3\xBC\",\"t2\",\"\",\"p\",\"u\",\"\",\"\",\"0\",\"\",\"\"\n");

    const ReadResult back = ReadPasswordCsv(csv);
    ASSERT_TRUE(back.ok());
    ASSERT_EQ(back.entries.size(), 2u);
    for (size_t i = 0; i < 2; ++i) {
        EXPECT_EQ(back.entries[i].group, entries[i].group);
        EXPECT_EQ(back.entries[i].title, entries[i].title);
        EXPECT_EQ(back.entries[i].user, entries[i].user);
        EXPECT_EQ(back.entries[i].password, entries[i].password);
        EXPECT_EQ(back.entries[i].url, entries[i].url);
        EXPECT_EQ(back.entries[i].notes, entries[i].notes);
    }
}

}  // namespace
