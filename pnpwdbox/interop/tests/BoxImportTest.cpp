// What the box takes from an import and what it gives to an export: text its
// code page cannot hold, passwords it cannot hold, duplicates, titles.
#include <gtest/gtest.h>

#include <iterator>
#include <string>
#include <vector>

#include "BoxImport.h"
#include "FileText.h"

namespace {

using namespace pninterop;

// A box whose code page is Latin-1: code points above U+00FF do not convert.
bool ToLatin1(const std::string& utf8, std::string& out) {
    out.clear();
    std::string_view rest = utf8;
    while (!rest.empty()) {
        uint32_t cp;
        const size_t n = DecodeUtf8(rest, cp);
        if (n == 0 || cp > 0xFF) return false;
        out += static_cast<char>(cp);
        rest.remove_prefix(n);
    }
    return true;
}

bool FromLatin1(const std::string& text, std::string& utf8) {
    utf8.clear();
    for (char c : text) uikit::AppendUtf8(utf8, static_cast<unsigned char>(c));
    return true;
}

Entry Make(std::string group, std::string title, std::string user, std::string password, std::string url,
           std::string notes = "") {
    Entry e;
    e.group = std::move(group);
    e.title = std::move(title);
    e.user = std::move(user);
    e.password = std::move(password);
    e.url = std::move(url);
    e.notes = std::move(notes);
    return e;
}

TEST(BoxImportTest, ListsWhatTheBoxCannotHoldAndSkipsDuplicates) {
    std::vector<Entry> entries = {
        Make("Mail", "mail.example", "J\xC3\xB6rg", "secret", "https://mail.example/x"),       // 0 fine
        Make("Mail", "t", "\xE6\x97\xA5\xE6\x9C\xAC", "p", "u"),                               // 1 user not Latin-1
        Make("Mail", "t", "u", std::string(48, 'x'), "u"),                                     // 2 fits exactly
        Make("Mail", "t", "u2", std::string(49, 'x'), "u"),                                    // 3 password too long
        Make("Bank", "t", "", "p", "u"),                                                       // 4 no user name
        Make("Bank", "t", "ann", "p", "https://bank.example"),                                 // 5 duplicate
        Make("", "t", "u", "p", "u"),                                                          // 6 root entry
        Make("Mail", "t", "u", "p", "u", std::string(1013, 'n')),                              // 7 comments fit
        Make("Mail", "\xE2\x82\xAC uro", "u", "p", "u"),                                       // 8 title not Latin-1
        Make("Old", "t", "u", "p", "u"),                                                       // 9 recycled
        Make("Mail", "t", "u", "", "u"),                                                       // 10 encrypted
        Make("Mail", "t", "u", "p", "u", std::string(1014, 'n')),                              // 11 comments too long
    };
    entries[9].recycled = true;
    entries[10].encryptedFields = kFieldPassword;
    ImportRules rules;
    rules.toBox = ToLatin1;
    rules.existing = {{"Bank", "ann", "https://bank.example"}, {"Bank", "ann", "https://other.example"}};
    rules.rootEntriesGroup = "Passwords";

    const ImportPlan plan = PlanImport(entries, rules);
    ASSERT_EQ(plan.records.size(), 4u);
    EXPECT_EQ(plan.records[0].entry, 0u);
    EXPECT_EQ(plan.records[0].record.user, "J\xF6rg");  // in the box's code page
    EXPECT_EQ(plan.records[0].record.comments, "");     // its title is the address's host
    EXPECT_EQ(plan.records[1].entry, 2u);
    EXPECT_EQ(plan.records[2].entry, 6u);
    EXPECT_EQ(plan.records[2].record.group, "Passwords");
    EXPECT_EQ(plan.records[3].entry, 7u);  // two entries of one key in one file: both come in
    EXPECT_EQ(plan.groups, (std::vector<std::string>{"Mail", "Passwords"}));
    EXPECT_EQ(plan.duplicates, std::vector<size_t>{5});
    EXPECT_EQ(plan.recycled, std::vector<size_t>{9});

    struct Want {
        size_t entry;
        unsigned problems;
        unsigned fields;
    };
    const Want refused[] = {
        {1, kNotInCodePage, kFieldUser},
        {3, kPasswordTooLong, kFieldPassword},
        {4, kEmptyField, kFieldUser},
        {8, kNotInCodePage, kFieldTitle},
        {10, kEncrypted | kEmptyField, kFieldPassword},
        {11, kTooLong, kFieldNotes | kFieldTitle},  // "Title: t\r\n" and 1014 bytes of notes pass 1023
    };
    ASSERT_EQ(plan.refused.size(), std::size(refused));
    for (size_t i = 0; i < plan.refused.size(); ++i) {
        EXPECT_EQ(plan.refused[i].entry, refused[i].entry);
        EXPECT_EQ(plan.refused[i].problems, refused[i].problems) << "entry " << refused[i].entry;
        EXPECT_EQ(plan.refused[i].fields, refused[i].fields) << "entry " << refused[i].entry;
    }
}

TEST(BoxImportTest, TitlesTravelInTheCommentsAndComeBackOut) {
    ImportRules rules;
    rules.toBox = ToLatin1;
    rules.limits.required = 0;
    const std::vector<Entry> entries = {
        Make("G", "My bank", "ann", "p", "https://bank.example:8443/login", "line 1\nline 2"),
        Make("G", "bank.example", "ann", "p", "https://bank.example/", "plain notes"),
        Make("G", "", "ann", "p", "", "Title: looks like one"),
        Make("G", "two\nlines", "ann", "p", "u"),
    };
    const ImportPlan plan = PlanImport(entries, rules);
    ASSERT_EQ(plan.records.size(), 3u);
    EXPECT_EQ(plan.records[0].record.comments, "Title: My bank\r\nline 1\r\nline 2");
    EXPECT_EQ(plan.records[1].record.comments, "plain notes");
    EXPECT_EQ(plan.records[2].record.comments, "Title: \r\nTitle: looks like one");
    ASSERT_EQ(plan.refused.size(), 1u);
    EXPECT_EQ(plan.refused[0].problems, unsigned{kLineBreakInTitle});

    for (size_t i = 0; i < 3; ++i) {
        BoxRecord record = plan.records[i].record;
        record.endDay = i == 0 ? "20270305" : "99991230";  // the box's "never" on the others
        Entry back;
        ASSERT_TRUE(EntryFromBoxRecord(record, FromLatin1, back));
        const Entry& sent = entries[plan.records[i].entry];
        EXPECT_EQ(back.title, sent.title) << i;
        EXPECT_EQ(back.notes, sent.notes) << i;
        EXPECT_EQ(back.user, sent.user);
        EXPECT_EQ(back.url, sent.url);
        EXPECT_EQ(back.endDay, i == 0 ? "20270305" : "");
    }

    EXPECT_EQ(DerivedTitle("https://user:pw@mail.example:993/inbox?x#y", "u"), "mail.example");
    EXPECT_EQ(DerivedTitle("bank.example/login", "u"), "bank.example");
    EXPECT_EQ(DerivedTitle("", "ann"), "ann");
}

}  // namespace
