// What the password files of other managers hold, once read: one neutral entry
// per password, in UTF-8, whatever file it came from; and what a reader reports
// when a file cannot be read.
#pragma once
#include <cstddef>
#include <string>
#include <vector>

namespace pninterop {

// The text fields of an entry, as bits (a set of fields in one unsigned).
enum Field : unsigned {
    kFieldGroup = 1u << 0,
    kFieldTitle = 1u << 1,
    kFieldUser = 1u << 2,
    kFieldPassword = 1u << 3,
    kFieldUrl = 1u << 4,
    kFieldNotes = 1u << 5,
};

struct Entry {
    // Groups below the database's root group, joined with '/' ("Mail/Work");
    // "" for an entry of the root group itself (or a file without groups).
    std::string group;
    std::string title;
    std::string user;
    std::string password;
    std::string url;
    std::string notes;  // line breaks as "\n"
    // The local day the entry expires, "yyyyMMdd"; "" when it never does.
    std::string endDay;
    // Fields whose value the file holds encrypted with a key it does not carry
    // (KeePass's Protected="True" outside a database): such a value is not
    // readable, and its field above is "".
    unsigned encryptedFields = 0;
    // The entry sits in the database's recycle bin (deleted there).
    bool recycled = false;
    // Where the entry starts in its file (1-based), for lists shown to the user.
    int line = 0;
};

enum class FileFormat { Unknown, KeePassXml, KeePassXcCsv, BrowserCsv };

enum class ReadProblem {
    None,
    TooLarge,         // over kMaxFileBytes, kMaxEntries or kMaxCsvColumns
    Utf16,            // a UTF-16 byte order mark: saved as "Unicode", not UTF-8
    NotUtf8,          // bytes that are no UTF-8 (or another declared encoding)
    ControlCharacter, // NUL, or a control character XML does not allow
    Empty,            // nothing in the file
    // CSV
    UnclosedQuote,    // a quoted field runs to the end of the file
    TextAfterQuote,   // characters between a closing quote and the next comma
    RowLength,        // a row with another number of fields than the first one
    NoPasswordColumn, // neither a known header nor KeePassXC's columns
    // XML
    XmlSyntax,        // not well-formed
    XmlDoctype,       // a document type declaration (entities are not expanded)
    XmlEntity,        // an entity or character reference XML does not define
    XmlTagMismatch,   // an end tag that closes another element
    XmlUnclosed,      // the file ends inside an element (the line where it opened)
    XmlTooDeep,       // nested deeper than kMaxXmlDepth
    NotKeePassXml,    // well-formed, but its root is no <KeePassFile>
    BadTime,          // an expiry time that is neither of KeePass's two forms
};

struct ReadError {
    ReadProblem problem = ReadProblem::None;
    int line = 0;  // 1-based; the line the problem was found on
};

struct ReadResult {
    FileFormat format = FileFormat::Unknown;
    std::vector<Entry> entries;
    // The name of the root group the group paths are relative to ("Root",
    // "Passwords"), "" when the file has none.
    std::string rootGroup;
    ReadError error;
    bool ok() const { return error.problem == ReadProblem::None; }
};

// Bounds for hostile files: work and memory stay proportional to these.
constexpr size_t kMaxFileBytes = 64u << 20;
constexpr size_t kMaxEntries = 100000;
constexpr size_t kMaxCsvColumns = 256;
constexpr size_t kMaxXmlDepth = 256;

// A short English name of the problem, for logs and test messages (the box
// shows its own strings).
const char* ProblemName(ReadProblem problem);

}  // namespace pninterop
