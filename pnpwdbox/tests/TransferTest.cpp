// Passwords moved in from other managers' files and out for KeePassXC, through
// the box's commands and windows: the preview before anything is written, one
// transaction, the duplicate rule, a file that cannot be read named by its
// line, and an export only the current user can open.
#include <aclapi.h>
#include <commctrl.h>

#include "BoxFixture.h"
#include "BoxText.h"
#include "CppSQLite3.h"
#include "KeePassXml.h"
#include "PNPBResIds.h"
#include "PwdBoxEnv.h"
#include "PasswordCsv.h"
#include "SecretFile.h"

namespace pbtest {
namespace {

using Strings = std::vector<std::string>;

// S-1-5-18, as its bytes.
const std::string kLocalSystem("\x01\x01\0\0\0\0\0\x05\x12\0\0\0", 12);

std::string g_file;
int g_chosen = 0;
bool ChooseTransferFile(HWND, pwdbox::FileDialogKind, std::string& path) {
    ++g_chosen;
    path = g_file;
    return true;
}

Strings ListRows(HWND list) {
    Strings rows;
    const int columns = Header_GetItemCount(ListView_GetHeader(list));
    for (int row = 0; row < ListView_GetItemCount(list); ++row) {
        std::string line;
        for (int c = 0; c < columns; ++c) {
            char text[512] = {};
            ListView_GetItemText(list, row, c, text, sizeof text);
            line += (c ? "|" : "") + std::string(text);
        }
        rows.push_back(line);
    }
    return rows;
}

// What the preview showed.
struct Preview {
    std::string summary, skipped, refusedLabel;
    Strings records, refused;
    bool importEnabled = false;
};
std::function<void(HWND)> ReadPreview(Preview& seen, int button) {
    return [&seen, button](HWND d) {
        seen.summary = ItemText(d, IDC_PB_IMPORT_SUMMARY);
        seen.skipped = ItemText(d, IDC_PB_IMPORT_SKIPPED);
        seen.refusedLabel = ItemText(d, IDC_PB_IMPORT_REFUSED_LABEL);
        seen.records = ListRows(GetDlgItem(d, IDC_PB_IMPORT_RECORDS));
        seen.refused = ListRows(GetDlgItem(d, IDC_PB_IMPORT_REFUSED));
        seen.importEnabled = IsWindowEnabled(GetDlgItem(d, IDOK)) != FALSE;
        Click(d, button);
    };
}

class TransferTest : public LoggedInBox {
protected:
    void SetUp() override {
        LoggedInBox::SetUp();
        g_chosen = 0;
        pwdbox::SetFileChooser(ChooseTransferFile);
    }
};

const char kHeader[] = "\"Group\",\"Title\",\"Username\",\"Password\",\"URL\",\"Notes\",\"TOTP\",\"Icon\",\"Last Modified\",\"Created\"\n";
std::string Row(const std::string& group, const std::string& title, const std::string& user, const std::string& password,
                const std::string& url, const std::string& notes = "") {
    return "\"" + group + "\",\"" + title + "\",\"" + user + "\",\"" + password + "\",\"" + url + "\",\"" + notes +
           "\",\"\",\"0\",\"\",\"\"\n";
}

TEST_F(TransferTest, ImportIsPreviewedThenAddedInOneGoAndNotTwice) {
    AddThroughDialog("https://mail.example", "anna", "old", "Mail");
    g_file = box_.Path() + "keepassxc.csv";
    pinora::test::WriteFileBytes(g_file, std::string(kHeader) +                                                     // line 1
                          Row("Root/Mail", "Post", "anna", "new", "https://mail.example") +     // 2: in the box
                          Row("Root/Mail/Work", "B\xC3\xBCro", "bert", "b\"\"1,", "https://work.example",
                              "one\ntwo") +                                                        // 3-4
                          Row("Root", "Bank", "", "p2", "https://bank.example") +                // 5: no user name
                          Row("Root/Mail", "Long", "carl", std::string(128, 'x'), "https://x.example") +  // 6
                          Row("Root/Recycle Bin", "Old", "dora", "d", "https://old.example"));    // 7

    // Cancel writes nothing.
    Preview seen;
    {
        DialogDriver driver({ReadPreview(seen, IDCANCEL)});
        Command(ID_PB_IMPORT_PASSWORDS);
        ASSERT_EQ(driver.Done(), 1u);
    }
    EXPECT_EQ(Column("select count(*) from pn_pwd"), Strings{"1"});
    EXPECT_EQ(seen.summary, "2 records will be added to the box, in these groups: Mail/Work, Root");
    EXPECT_EQ(seen.records, (Strings{"Mail/Work|B\xC3\xBCro|bert|https://work.example", "Root|Bank||https://bank.example"}));
    EXPECT_EQ(seen.skipped, "Skipped: 1 already in the box (the same group, user name and web address), 1 in the "
                            "other program's recycle bin.");
    EXPECT_EQ(seen.refusedLabel, "Not imported, because the box cannot take them unchanged: 1");
    EXPECT_EQ(seen.refused, (Strings{"6|Long|A password longer than 127 characters (it is never cut): password"}));
    EXPECT_TRUE(seen.importEnabled);

    g_messages.Clear();
    {
        DialogDriver driver({ReadPreview(seen, IDOK)});
        Command(ID_PB_IMPORT_PASSWORDS);
    }
    EXPECT_EQ(g_messages.texts, Strings{"2 records were added to the box."});
    EXPECT_EQ(Column("select g.grp_name||'|'||p.pwd_user||'|'||p.pwd_url||'|'||p.pwd_comments from pn_pwd p "
                     "join pn_group g on g.grp_id=p.pwd_grp_id order by p.pwd_id"),
              (Strings{"Mail|anna|https://mail.example|", "Mail/Work|bert|https://work.example|Title: B\xC3\xBCro\r\none\r\ntwo",
                       "Root||https://bank.example|Title: Bank"}));
    EXPECT_EQ(Column("select count(*) from pn_pwd where pwd_pwd like '%b\"1,%'"), Strings{"0"}) << "sealed";
    WaitForList();
    const int bert = RowOfUser("bert");
    ASSERT_GE(bert, 0);
    EXPECT_EQ(List().CellSecondText(List().RecordKeyOfRow(bert), 2), "b\"1,");

    // A record without a user name can be edited like any other.
    ClickRow(RowOfUser(""));
    std::string status;
    {
        DialogDriver driver({[&](HWND d) {
            SetItemText(d, IDC_PB_COMMENTS, "edited");
            Click(d, IDOK);
            status = ItemText(d, IDC_PB_STATUS);
            Click(d, IDCANCEL);
        }});
        Command(ID_PB_EDIT_RECORD);
    }
    EXPECT_EQ(status, Res(IDS_PB_RECORD_UPDATED));
    EXPECT_EQ(Column("select pwd_comments from pn_pwd where pwd_user=''"), Strings{"edited"});

    // The same file again: everything it holds is there now.
    g_messages.Clear();
    {
        DialogDriver driver({ReadPreview(seen, IDOK)});
        Command(ID_PB_IMPORT_PASSWORDS);
    }
    EXPECT_EQ(seen.summary, Res(IDS_PB_IMPORT_NONE));
    EXPECT_FALSE(seen.importEnabled);
    EXPECT_EQ(seen.skipped.substr(0, 20), "Skipped: 3 already i");
    EXPECT_EQ(Column("select count(*) from pn_pwd"), Strings{"3"});
    EXPECT_EQ(g_messages.texts, Strings{});
}

TEST_F(TransferTest, UnreadableFileIsNamedByItsLineAndNothingIsAdded) {
    struct Case {
        const char* name;
        std::string bytes;
        const char* message;
    } cases[] = {
        {"short.csv", std::string(kHeader) + Row("Root", "a", "u", "p", "https://a") + "\"Root\",\"b\",\"u\",\"p\"\n",
         "This file cannot be imported. Line 3: This row has another number of fields than the first one. Nothing "
         "was added."},
        {"bad.xml", "<KeePassFile>\n<Root>\n<Group><Name>R</Name>\n</Entry>\n</Group></Root></KeePassFile>\n",
         "This file cannot be imported. Line 4: An XML end tag closes another element. Nothing was added."},
    };
    for (const Case& c : cases) {
        g_file = box_.Path() + c.name;
        pinora::test::WriteFileBytes(g_file, c.bytes);
        g_messages.Clear();
        DialogDriver driver({[](HWND d) { Click(d, IDCANCEL); }});
        Command(ID_PB_IMPORT_PASSWORDS);
        EXPECT_EQ(driver.Done(), 0u) << c.name << ": no preview";
        EXPECT_EQ(g_messages.texts, Strings{c.message});
    }
    EXPECT_EQ(Column("select count(*) from pn_pwd"), Strings{"0"});

    // Locked, the box neither imports nor exports: nothing is even asked.
    Command(ID_PB_LOCK);
    g_messages.Clear();
    const int asked = g_chosen;
    Command(ID_PB_IMPORT_PASSWORDS);
    Command(ID_PB_EXPORT_PASSWORDS);
    EXPECT_EQ(g_chosen, asked);
    EXPECT_EQ(g_messages.texts, Strings{});
}

TEST(BoxTextTest, TextTheCodePageCannotHoldIsRefusedNotReplaced) {
    std::string text;
    EXPECT_TRUE(pwdbox::TextFromUtf8In(1252, "Caf\xC3\xA9 \xE2\x82\xAC", text));
    EXPECT_EQ(text, "Caf\xE9 \x80");
    EXPECT_FALSE(pwdbox::TextFromUtf8In(1252, "\xE6\x97\xA5", text)) << "no such character";
    EXPECT_FALSE(pwdbox::TextFromUtf8In(1252, "\xC5\x81\xC3\xB3\x64\xC5\xBA", text)) << "no best fit: Lodz";
    EXPECT_FALSE(pwdbox::TextFromUtf8In(1252, "\xC3", text)) << "not UTF-8";
    EXPECT_TRUE(pwdbox::TextFromUtf8In(CP_UTF8, "\xE6\x97\xA5", text));
    EXPECT_EQ(text, "\xE6\x97\xA5");
}

// The SIDs a file's DACL allows, or "?" for an entry that is no plain allow.
Strings AllowedSids(const std::string& path) {
    Strings allowed;
    DWORD size = 0;
    GetFileSecurityA(path.c_str(), DACL_SECURITY_INFORMATION, nullptr, 0, &size);
    std::vector<unsigned char> buffer(size ? size : 1);
    auto* sd = reinterpret_cast<PSECURITY_DESCRIPTOR>(buffer.data());
    BOOL present = FALSE, defaulted = FALSE;
    PACL acl = nullptr;
    if (!GetFileSecurityA(path.c_str(), DACL_SECURITY_INFORMATION, sd, size, &size) ||
        !GetSecurityDescriptorDacl(sd, &present, &acl, &defaulted) || !present || !acl)
        return {"no DACL: everyone"};
    for (DWORD i = 0; i < acl->AceCount; ++i) {
        void* ace = nullptr;
        if (!GetAce(acl, i, &ace) || static_cast<ACE_HEADER*>(ace)->AceType != ACCESS_ALLOWED_ACE_TYPE) {
            allowed.push_back("?");
            continue;
        }
        PSID sid = &static_cast<ACCESS_ALLOWED_ACE*>(ace)->SidStart;
        allowed.emplace_back(static_cast<const char*>(sid), GetLengthSid(sid));
    }
    return allowed;
}

// Whether the file is the current user's alone. Wine keeps no DACL of a file:
// it describes one from the Unix mode, LocalSystem always in it, Everyone
// when others may read; so LocalSystem is let pass.
bool ForUserAlone(const std::string& path) {
    const std::string user = pwdbox::CurrentUserSid();
    const Strings allowed = AllowedSids(path);
    bool userAllowed = false;
    for (const std::string& sid : allowed) {
        userAllowed = userAllowed || sid == user;
        if (sid != user && sid != kLocalSystem) return false;
    }
    return userAllowed;
}

TEST_F(TransferTest, ExportIsWarnedOfAndWrittenForTheUserAlone) {
    AddThroughDialog("https://mail.example", "anna", "a\"1,<&>", "Mail");
    AddThroughDialog("https://bank.example", "bert", "b2", "Bank");
    AddThroughDialog("https://evil.example", "eve", "e3", "Bank");
    // Eve's record was changed in the file: it is damaged, and never exported.
    CppSQLite3Connection db;
    db.open(box_.Db().c_str());
    db.execute("update pn_pwd set pwd_url='https://evil.example/2' where pwd_user='eve'");
    db.close();
    g_file = box_.Path() + "out.xml";
    pinora::test::WriteFileBytes(g_file, "what was there before");
    ASSERT_FALSE(ForUserAlone(g_file)) << "a file as the folder makes it is for more than the user";

    // Declined: nothing is asked or written.
    g_messages.Clear();
    g_messages.answer = IDNO;
    Command(ID_PB_EXPORT_PASSWORDS);
    EXPECT_EQ(g_messages.texts, Strings{Res(IDS_PB_EXPORT_WARNING)});
    EXPECT_EQ(g_chosen, 0);
    EXPECT_EQ(ReadFileBytes(g_file), "what was there before");

    g_messages.Clear();
    Command(ID_PB_EXPORT_PASSWORDS);
    ASSERT_GT(Res(IDS_PB_EXPORT_WARNING).size(), 127u);
    EXPECT_EQ(g_messages.texts,
              (Strings{Res(IDS_PB_EXPORT_WARNING),
                       "2 records were written to the file. It holds their passwords in plain text; only your Windows "
                       "account can open it.",
                       "1 records were left out: damaged records are never exported, and text the file's format "
                       "cannot carry exactly is not changed to fit."}));
    const pninterop::ReadResult xml = pninterop::ReadKeePassXml(ReadFileBytes(g_file));
    ASSERT_TRUE(xml.ok());
    ASSERT_EQ(xml.entries.size(), 2u);
    EXPECT_EQ(xml.entries[0].group, "Mail");
    EXPECT_EQ(xml.entries[0].password, "a\"1,<&>");
    EXPECT_EQ(xml.entries[1].title, "bank.example");

    // Replaced whole, under a DACL of its own that grants this user alone.
    EXPECT_TRUE(ForUserAlone(g_file));
    EXPECT_FALSE(FileExists(g_file + ".part"));

    // A name ending in .csv gets KeePassXC's CSV.
    g_file = box_.Path() + "out.CSV";
    Command(ID_PB_EXPORT_PASSWORDS);
    const pninterop::ReadResult csv = pninterop::ReadPasswordCsv(ReadFileBytes(g_file));
    ASSERT_TRUE(csv.ok());
    EXPECT_EQ(csv.format, pninterop::FileFormat::KeePassXcCsv);
    EXPECT_EQ(csv.entries.size(), 2u);
    EXPECT_TRUE(ForUserAlone(g_file));
}

}  // namespace
}  // namespace pbtest
