// Records moved in from another manager's file and back out: added all in one
// transaction or not at all, into the groups they name, sealed like any other
// record; the duplicate rule against what the box holds; the export file made
// from the box's records, damaged ones left out.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "KeePassXml.h"
#include "PasswordCsv.h"
#include "PasswordTransfer.h"
#include "StoreTestSupport.h"

namespace {

using pnstore::AddResult;
using pnstore::NewRecord;
using storetest::StoreTest;
using Strings = std::vector<std::string>;

class PasswordTransferTest : public StoreTest {
protected:
    // id|group name|user|password|url|comments|end day of every live record, as the box lists them.
    Strings Listed() {
        Strings rows;
        std::map<int, std::string> groups;
        for (const pnstore::GroupRow& g : store_.listGroups()) groups.emplace(g.id, g.name);
        store_.readLiveRecords([&](const pnstore::ListedRecord& r) {
            rows.push_back(std::to_string(r.id) + "|" + groups[r.group] + "|" + r.user + "|" + r.password + "|" +
                           r.url + "|" + r.comments + "|" + r.endDay + (r.damaged ? "|damaged" : ""));
            return true;
        });
        return rows;
    }

    pninterop::ImportPlan Plan(const std::vector<pninterop::Entry>& entries, const std::string& rootGroup) {
        pninterop::ImportRules rules;
        EXPECT_TRUE(pnstore::FillImportRules(rules));
        rules.toBox = [](const std::string& utf8, std::string& box) {
            box = utf8;
            return true;
        };
        rules.rootEntriesGroup = rootGroup;
        return pninterop::PlanImport(entries, rules);
    }
};

pninterop::Entry Entry(std::string group, std::string title, std::string user, std::string password,
                       std::string url, std::string notes = "", std::string endDay = "") {
    return {std::move(group), std::move(title), std::move(user), std::move(password), std::move(url),
            std::move(notes), std::move(endDay), 0, false, 0};
}

const pninterop::FromBoxText kSameText = [](const std::string& box, std::string& utf8) {
    utf8 = box;
    return true;
};

TEST_F(PasswordTransferTest, AddsAllInOneTransactionOrNone) {
    OpenBox();
    ASSERT_EQ(store_.addGroup(4, "Mail"), 1);
    const std::vector<NewRecord> records = {
        {"Mail", "anna", "pw'1", "https://mail.example", "Title: Post\r\nnote", "20301231"},
        {"Bank", "", "pw2", "https://bank.example", "", ""},  // no user name: taken
        {"Mail", "o'hara", "pw3", "imap://m.example", "", ""},
    };
    ASSERT_EQ(store_.addRecords(records), AddResult::Added);
    // The group of that name is used; a new one gets the next number.
    EXPECT_EQ(Listed(), (Strings{"1|Mail|anna|pw'1|https://mail.example|Title: Post\r\nnote|20301231",
                                 "2|Bank||pw2|https://bank.example||", "3|Mail|o'hara|pw3|imap://m.example||"}));
    EXPECT_EQ(Column("select grp_id||'|'||grp_name from pn_group order by grp_id"), (Strings{"4|Mail", "5|Bank"}));
    EXPECT_EQ(RawBytes().find("pw'1"), std::string::npos) << "sealed like every record";

    // A failure half-way through (here a trigger of the file's) leaves
    // nothing behind: no record and no group.
    Exec("create trigger boom before insert on pn_pwd when new.pwd_user = 'carl' begin select raise(abort, 'no'); end;");
    const std::vector<NewRecord> more = {{"Shop", "bert", "b", "https://shop.example", "", ""},
                                         {"Shop", "carl", "c", "https://shop.example", "", ""}};
    EXPECT_EQ(store_.addRecords(more), AddResult::Failed);
    EXPECT_EQ(Count("select * from pn_pwd"), 3);
    EXPECT_EQ(Count("select * from pn_group"), 2);

    // What the box cannot hold is refused before anything is written.
    EXPECT_EQ(store_.addRecords({{"Shop", "bert", "b", "", "", ""}}), AddResult::Refused);
    EXPECT_EQ(store_.addRecords({{"Shop", "bert", std::string(128, 'p'), "u", "", ""}}), AddResult::Refused);
    EXPECT_EQ(store_.addRecords({{"", "bert", "b", "u", "", ""}}), AddResult::Refused);
    pnstore::EndSession();
    EXPECT_EQ(store_.addRecords({{"Shop", "bert", "b", "u", "", ""}}), AddResult::Locked);
    EXPECT_EQ(Count("select * from pn_pwd"), 3);
}

TEST_F(PasswordTransferTest, NoNumberPastTheLargestIsMade) {
    OpenBox();
    Exec("insert into pn_group values(2147483647,'Full')");
    EXPECT_EQ(store_.addRecords({{"New", "a", "b", "u", "", ""}}), AddResult::NoNumbers);
    // Into the group that is there it still goes.
    EXPECT_EQ(store_.addRecords({{"Full", "a", "b", "u", "", ""}}), AddResult::Added);
    EXPECT_EQ(Count("select * from pn_group"), 1);
}

TEST_F(PasswordTransferTest, DuplicatesAreJudgedByGroupUserAndAddressOfSoundRecords) {
    OpenBox();
    ASSERT_EQ(store_.addRecords({{"Mail", "anna", "old", "https://mail.example", "", ""},
                                 {"Mail", "bert", "old", "https://mail.example", "", ""}}),
              AddResult::Added);
    // Bert's record was changed in the file: it counts for nothing.
    Exec("update pn_pwd set pwd_comments='x' where pwd_user='bert'");
    const pninterop::ImportPlan plan =
        Plan({Entry("Mail", "", "anna", "new", "https://mail.example"),    // the same key: skipped
              Entry("Mail", "", "Anna", "new", "https://mail.example"),    // another user name
              Entry("Mail", "", "bert", "new", "https://mail.example"),    // only a damaged one has it
              Entry("", "", "carl", "c", "https://root.example")},         // the file's root group
             "Passwords");
    EXPECT_EQ(plan.duplicates, (std::vector<size_t>{0}));
    ASSERT_EQ(plan.records.size(), 3u);
    EXPECT_EQ(plan.groups, (Strings{"Mail", "Passwords"}));
    ASSERT_EQ(pnstore::AddPlannedRecords(plan), AddResult::Added);
    EXPECT_EQ(Count("select * from pn_pwd where pwd_state=1"), 5);
}

TEST_F(PasswordTransferTest, ExportCarriesEverySoundRecordAndLeavesDamagedOnesOut) {
    OpenBox();
    const std::vector<pninterop::Entry> made = {
        Entry("Work/Mail", "Post \"office\"", "ann", "a\"b,c", "https://mail.example", "one\ntwo", "20301231"),
        Entry("", "bank.example", "", "p", "https://bank.example/login"),  // of the root group "Root"
    };
    const pninterop::ImportPlan plan = Plan(made, pnstore::kExportRootGroup);
    ASSERT_EQ(plan.groups, (Strings{"Work/Mail", "Root"}));
    ASSERT_EQ(pnstore::AddPlannedRecords(plan), AddResult::Added);
    ASSERT_EQ(store_.addRecords({{"Root", "eve", "x", "https://evil.example", "", ""}}), AddResult::Added);
    Exec("update pn_pwd set pwd_url='https://evil.example/2' where pwd_user='eve'");

    for (auto format : {pnstore::ExportFormat::KeePassXml, pnstore::ExportFormat::KeePassXcCsv}) {
        pnstore::ExportFile file;
        ASSERT_TRUE(pnstore::BuildExportFile(format, kSameText, nullptr, file));
        EXPECT_EQ(file.written, 2u);
        EXPECT_EQ(file.leftOut, 1u);
        const pninterop::ReadResult back = format == pnstore::ExportFormat::KeePassXml
                                               ? pninterop::ReadKeePassXml(file.bytes)
                                               : pninterop::ReadPasswordCsv(file.bytes);
        ASSERT_TRUE(back.ok());
        EXPECT_EQ(back.rootGroup, pnstore::kExportRootGroup);
        ASSERT_EQ(back.entries.size(), 2u);
        for (const pninterop::Entry& want : made) {
            const pninterop::Entry* got = nullptr;
            for (const pninterop::Entry& e : back.entries)
                if (e.title == want.title) got = &e;
            ASSERT_NE(got, nullptr) << want.title;
            EXPECT_EQ(got->group, want.group);
            EXPECT_EQ(got->user, want.user);
            EXPECT_EQ(got->password, want.password);
            EXPECT_EQ(got->url, want.url);
            EXPECT_EQ(got->notes, want.notes);
            if (format == pnstore::ExportFormat::KeePassXml) {
                EXPECT_EQ(got->endDay, want.endDay);
            }
        }
    }
    pnstore::EndSession();
    pnstore::ExportFile file;
    EXPECT_FALSE(pnstore::BuildExportFile(pnstore::ExportFormat::KeePassXml, kSameText, nullptr, file));
    EXPECT_TRUE(file.bytes.empty());
}

}  // namespace
