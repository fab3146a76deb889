// The password box's side of an import and an export: a record as the box
// keeps it, the checks that decide which entries it takes unchanged, and the
// way from its records back to neutral entries.
//
// The box has no title: an entry's title goes into the record's comments as a
// first line "Title: ..." unless it is the one an export would make up again
// from the address (DerivedTitle); an export takes that line back out.
#pragma once
#include <functional>
#include <string>
#include <vector>

#include "PasswordEntry.h"

namespace pninterop {

// A record as the box stores it, text in the box's code page.
struct BoxRecord {
    std::string group;
    std::string user;
    std::string password;
    std::string url;
    std::string comments;  // line breaks "\r\n", as the box's edit boxes keep them
    std::string endDay;    // "yyyyMMdd", "" for none
};

// What the box holds, in bytes of its own text.
struct BoxLimits {
    size_t groupBytes = 127;
    size_t userBytes = 127;
    size_t passwordBytes = 48;
    size_t urlBytes = 1023;
    size_t commentsBytes = 1023;
    // Fields the box refuses empty (kFieldNotes stands for the comments).
    unsigned required = kFieldGroup | kFieldUser | kFieldPassword | kFieldUrl;
};

// UTF-8 to the box's text: false when the text does not convert without loss.
using ToBoxText = std::function<bool(const std::string& utf8, std::string& boxText)>;
// The box's text to UTF-8: false when it does not convert.
using FromBoxText = std::function<bool(const std::string& boxText, std::string& utf8)>;

// What makes two records the same one: group, user name and address, in box text.
struct RecordKey {
    std::string group;
    std::string user;
    std::string url;
    bool operator<(const RecordKey& other) const;
};

struct ImportRules {
    BoxLimits limits;
    ToBoxText toBox;
    // Records already in the box: entries that match one are not imported again.
    std::vector<RecordKey> existing;
    // The group for entries of the file's root group (Entry::group ""), in UTF-8;
    // the root group's name is a good one. Left empty, such entries are refused.
    std::string rootEntriesGroup;
};

// Why an entry is not imported (bits); RefusedEntry::fields says where.
enum ImportProblem : unsigned {
    kNotInCodePage = 1u << 0,     // a text the box's code page cannot hold exactly
    kTooLong = 1u << 1,           // longer than its field in the box
    kPasswordTooLong = 1u << 2,   // a password longer than the box holds (never cut)
    kEmptyField = 1u << 3,        // a field the box needs is empty
    kEncrypted = 1u << 4,         // the file holds a value encrypted (Entry::encryptedFields)
    kLineBreakInTitle = 1u << 5,  // a title over several lines cannot be one line of the comments
};

struct RefusedEntry {
    size_t entry;  // index into the entries given
    unsigned problems;
    unsigned fields;  // Field bits; kFieldNotes stands for the comments
};

struct PlannedRecord {
    size_t entry;
    BoxRecord record;
};

struct ImportPlan {
    std::vector<PlannedRecord> records;  // what to add, in file order
    std::vector<std::string> groups;     // their groups in box text, each once, in order of first use
    std::vector<RefusedEntry> refused;   // not imported: the box cannot hold them unchanged
    std::vector<size_t> duplicates;      // not imported: the box has a record with their key
    std::vector<size_t> recycled;        // not imported: deleted in the other manager
};

// Decides, without writing anything, what an import would add. Duplicates are
// judged against `rules.existing` only: two entries of one file with the same
// key are both added (they may differ in password or comments).
ImportPlan PlanImport(const std::vector<Entry>& entries, const ImportRules& rules);

// The first line of comments that carries a title.
extern const char kTitleLinePrefix[];  // "Title: "

// The title an entry gets when its record has none: the host of the address
// ("https://mail.example.com/login" -> "mail.example.com"), else the user name.
std::string DerivedTitle(const std::string& url, const std::string& user);

// A box record as an entry for the writers. False when its text does not
// convert to UTF-8. An end day that is no day (or in the year 9999, the box's
// "never") becomes none.
bool EntryFromBoxRecord(const BoxRecord& record, const FromBoxText& fromBox, Entry& entry);

}  // namespace pninterop
