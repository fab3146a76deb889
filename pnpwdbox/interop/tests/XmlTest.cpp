// KeePass 2 XML: the reader (entities, CDATA, protected values, nested groups,
// expiry), its refusals, and the writer's escaping and tree.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "KeePassXml.h"
#include "PasswordFile.h"

namespace {

using namespace pninterop;

long long OneHourEast(long long) { return 3600; }
long long Utc(long long) { return 0; }

const char kDatabase[] = R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<!-- written by hand after keepassxc-cli's export -->
<KeePassFile>
	<Meta>
		<Generator>KeePassXC</Generator>
		<RecycleBinUUID>YmluYmluYmluYmluYmluYg==</RecycleBinUUID>
	</Meta>
	<Root>
		<Group>
			<UUID>cm9vdHJvb3Ryb290cm9vdA==</UUID>
			<Name>Passwords</Name>
			<Entry>
				<Times>
					<ExpiryTime>2027-03-04T23:30:00Z</ExpiryTime>
					<Expires>True</Expires>
				</Times>
				<History>
					<Entry><String><Key>Title</Key><Value>old version</Value></String></Entry>
				</History>
				<String>
					<Key>Title</Key>
					<Value>A &amp; B &lt;c&gt; &#x263A;&#65;</Value>
				</String>
				<String><Key>UserName</Key><Value><![CDATA[<u>&amp;]]></Value></String>
				<String><Key>Password</Key><Value ProtectInMemory="True">p&quot;w&apos;</Value></String>
				<String><Key>URL</Key><Value>https://a.example/?x=1&amp;y=2</Value></String>
				<String><Key>Notes</Key><Value>x&#13;y)" "\r\n" R"(z</Value></String>
				<String><Key>otp</Key><Value>ignored</Value></String>
			</Entry>
			<Group>
				<Name>Mail</Name>
				<Group>
					<Name>Work</Name>
					<Entry>
						<Times><Expires>True</Expires><ExpiryTime>aB426Q4AAAA=</ExpiryTime></Times>
						<String><Key>Title</Key><Value>Sealed</Value></String>
						<String><Key>Password</Key><Value Protected="True">cGxhaW4=</Value></String>
					</Entry>
				</Group>
			</Group>
			<Group>
				<UUID>YmluYmluYmluYmluYmluYg==</UUID>
				<Name>Recycle Bin</Name>
				<Entry>
					<Times><Expires>False</Expires><ExpiryTime>not a time</ExpiryTime></Times>
					<String><Key>Title</Key><Value>Deleted</Value></String>
				</Entry>
			</Group>
		</Group>
		<DeletedObjects/>
	</Root>
</KeePassFile>
)";

TEST(XmlReadTest, GroupsEntriesEntitiesCdataProtectedValuesAndExpiry) {
    const ReadResult r = ReadKeePassXml(kDatabase, OneHourEast);
    ASSERT_TRUE(r.ok()) << ProblemName(r.error.problem) << " line " << r.error.line;
    EXPECT_EQ(r.format, FileFormat::KeePassXml);
    EXPECT_EQ(r.rootGroup, "Passwords");
    ASSERT_EQ(r.entries.size(), 3u);  // the history's old version is no entry

    const Entry& top = r.entries[0];
    EXPECT_EQ(top.group, "");
    EXPECT_EQ(top.title, "A & B <c> \xE2\x98\xBA" "A");
    EXPECT_EQ(top.user, "<u>&amp;");
    EXPECT_EQ(top.password, "p\"w'");
    EXPECT_EQ(top.url, "https://a.example/?x=1&y=2");
    EXPECT_EQ(top.notes, "x\ry\nz");  // a raw "\r\n" is a line break, "&#13;" a carriage return
    EXPECT_EQ(top.endDay, "20270305");  // 23:30 UTC is past midnight an hour east
    EXPECT_EQ(top.encryptedFields, 0u);
    EXPECT_EQ(top.line, 12);

    const Entry& sealed = r.entries[1];
    EXPECT_EQ(sealed.group, "Mail/Work");
    EXPECT_EQ(sealed.password, "");
    EXPECT_EQ(sealed.encryptedFields, unsigned{kFieldPassword});
    EXPECT_EQ(sealed.endDay, "20300601");  // base64 form: 2030-06-01T22:30:00Z
    EXPECT_FALSE(sealed.recycled);

    EXPECT_EQ(r.entries[2].group, "Recycle Bin");
    EXPECT_TRUE(r.entries[2].recycled);
    EXPECT_EQ(r.entries[2].endDay, "");  // Expires False: its time is not read

    const ReadResult found = ReadPasswordFile(std::string("\xEF\xBB\xBF\n") + kDatabase, OneHourEast);
    EXPECT_EQ(found.format, FileFormat::KeePassXml);
    EXPECT_EQ(found.entries.size(), 3u);
}

TEST(XmlReadTest, UnreadableFilesNameTheLine) {
    const std::string open = "<KeePassFile>\n<Root>\n<Group>\n";
    const std::string close = "</Group>\n</Root>\n</KeePassFile>\n";
    std::string deep;
    for (int i = 0; i < 300; ++i) deep += "<Group>";
    struct Case {
        std::string text;
        ReadProblem problem;
        int line;
    };
    const Case cases[] = {
        {open + "<Entry></Group>\n" + close, ReadProblem::XmlTagMismatch, 4},
        {open + "<Name>&nbsp;</Name>\n" + close, ReadProblem::XmlEntity, 4},
        {open + "<Name>a & b</Name>\n" + close, ReadProblem::XmlEntity, 4},
        {open + "<Name>&#0;</Name>\n" + close, ReadProblem::XmlEntity, 4},
        {open + "<Name>&#xD800;</Name>\n" + close, ReadProblem::XmlEntity, 4},
        {open + "<Name>&#x110000;</Name>\n" + close, ReadProblem::XmlEntity, 4},
        {"<?xml version=\"1.0\"?>\n<!DOCTYPE KeePassFile [<!ENTITY a \"aaaa\">]>\n<KeePassFile/>",
         ReadProblem::XmlDoctype, 2},
        {"<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><KeePassFile/>", ReadProblem::NotUtf8, 1},
        {open + "<Entry>\n<String>\n", ReadProblem::XmlUnclosed, 5},  // where <String> opened
        {open + "<Name>a\x01</Name>\n" + close, ReadProblem::ControlCharacter, 4},
        {open + "<Name>\xE9t\xE9</Name>\n" + close, ReadProblem::NotUtf8, 4},
        {open + "<Value Protected=True>x</Value>\n" + close, ReadProblem::XmlSyntax, 4},
        {open + "<Value a=\"1\" a=\"2\">x</Value>\n" + close, ReadProblem::XmlSyntax, 4},
        {open + "<!-- never closed\n" + close, ReadProblem::XmlUnclosed, 4},
        {"<KeePassFile/>\n<KeePassFile/>", ReadProblem::XmlSyntax, 2},
        {"<KeePassFile/>\ntext", ReadProblem::XmlSyntax, 2},
        {"<Database>\n</Database>", ReadProblem::NotKeePassXml, 1},
        {"<KeePassFile>" + deep, ReadProblem::XmlTooDeep, 1},
        {open + "<Entry><Times><Expires>True</Expires>\n<ExpiryTime>2027-02-30T00:00:00Z</ExpiryTime>\n"
                "</Times></Entry>\n" + close,
         ReadProblem::BadTime, 5},
        {"  \n", ReadProblem::Empty, 2},
    };
    for (const Case& c : cases) {
        const ReadResult r = ReadKeePassXml(c.text, Utc);
        EXPECT_EQ(r.error.problem, c.problem) << c.text << " gave " << ProblemName(r.error.problem);
        EXPECT_EQ(r.error.line, c.line) << c.text;
    }
}

std::vector<Entry> TrickyEntries() {
    std::vector<Entry> entries(4);
    entries[0] = {"", "Caf\xC3\xA9 & <Co>", "", "\"q\" 'a' & <b>", "https://x.example/?a=1&b=2", "one\ntwo\r",
                  "20270305", 0, false, 0};
    entries[1] = {"Mail/Work", "w", "ann", "p", "imap://m", "", "", 0, false, 0};
    entries[2] = {"Mail", "m", "bo", "p2", "u", "", "", 0, false, 0};
    entries[3] = {"Other", "o", "cy", "p3", "u", "", "", 0, false, 0};
    return entries;
}

TEST(XmlWriteTest, EscapesTextBuildsTheGroupTreeAndReadsBack) {
    std::vector<Entry> entries = TrickyEntries();
    entries.push_back({"", "bell", "u", "a\x07", "u", "", "", 0, false, 0});      // XML cannot carry it
    entries.push_back({"", "day", "u", "p", "u", "", "20270230", 0, false, 0});  // no such day
    XmlWriteOptions options;
    options.rootGroup = "Root & Co";
    options.offset = OneHourEast;
    unsigned char next = 0;
    options.randomBytes = [&](unsigned char* bytes, size_t count) {
        for (size_t i = 0; i < count; ++i) bytes[i] = next;
        ++next;
    };
    std::vector<size_t> skipped;
    const std::string xml = WriteKeePassXml(entries, options, &skipped);
    EXPECT_EQ(skipped, (std::vector<size_t>{4, 5}));

    EXPECT_NE(xml.find("<Name>Root &amp; Co</Name>"), std::string::npos);
    EXPECT_NE(xml.find("<Value>Caf\xC3\xA9 &amp; &lt;Co&gt;</Value>"), std::string::npos);
    EXPECT_NE(xml.find("<Value ProtectInMemory=\"True\">&quot;q&quot; 'a' &amp; &lt;b&gt;</Value>"),
              std::string::npos);
    EXPECT_NE(xml.find("<Value>one\ntwo&#13;</Value>"), std::string::npos);
    EXPECT_EQ(xml.find("Protected="), std::string::npos);  // that would say "encrypted"
    // Local midnight of 5 March, an hour east of UTC.
    EXPECT_NE(xml.find("<ExpiryTime>2027-03-04T23:00:00Z</ExpiryTime>"), std::string::npos);
    // Mail holds its entry and then its group Work; each group and entry its own UUID.
    const size_t mail = xml.find("<Name>Mail</Name>");
    EXPECT_LT(mail, xml.find("<Value>m</Value>"));
    EXPECT_LT(xml.find("<Value>m</Value>"), xml.find("<Name>Work</Name>"));
    EXPECT_LT(xml.find("<Name>Work</Name>"), xml.find("<Name>Other</Name>"));
    EXPECT_NE(xml.find("<UUID>AAAAAAAAAAAAAAAAAAAAAA==</UUID>"), std::string::npos);
    EXPECT_NE(xml.find("<UUID>BgYGBgYGBgYGBgYGBgYGBg==</UUID>"), std::string::npos);  // 4 groups, 4 entries

    const ReadResult back = ReadKeePassXml(xml, OneHourEast);
    ASSERT_TRUE(back.ok()) << ProblemName(back.error.problem) << " line " << back.error.line;
    EXPECT_EQ(back.rootGroup, "Root & Co");
    ASSERT_EQ(back.entries.size(), 4u);
    const std::vector<Entry> expected = TrickyEntries();
    const size_t order[] = {0, 2, 1, 3};  // tree order: root, Mail, Mail/Work, Other
    for (size_t i = 0; i < 4; ++i) {
        const Entry& want = expected[order[i]];
        const Entry& got = back.entries[i];
        EXPECT_EQ(got.group, want.group);
        EXPECT_EQ(got.title, want.title);
        EXPECT_EQ(got.user, want.user);
        EXPECT_EQ(got.password, want.password);
        EXPECT_EQ(got.url, want.url);
        EXPECT_EQ(got.notes, want.notes);
        EXPECT_EQ(got.endDay, want.endDay);
    }
}

}  // namespace
