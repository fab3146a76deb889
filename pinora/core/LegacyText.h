// A program folder written by an earlier Pinora keeps its text in the system's
// legacy ("ANSI") code page; this version's text is UTF-8. At the first start
// the folder is converted once: the settings files, the users table, the
// catalogues, and of every user the stick and alarm tables, the diary files
// and the password database. Each file that changes is written beside itself
// and moved into place, the old one kept as "<name>.<code page>.bak".
//
// Every value is converted only when it is not UTF-8 already (ASCII is), so
// running the conversion again changes nothing: a run cut short is finished by
// the next start, and a value the new version wrote meanwhile stays as it is.
// Passwords written with the old text cipher are decrypted, converted and
// encrypted again (LegacySecret.h). Fields keep their sizes in bytes: a text
// that no longer fits is cut between two characters (a user name, which names
// a folder, is left as it was), and each such value is listed in the notes.
#pragma once
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "LegacySecret.h"

namespace pinora {

using pncrypto::LegacyDecoder;

// What a conversion had to shorten or leave as it was, one line each.
using ConversionNotes = std::vector<std::string>;

// ---- One file's bytes ----

// A settings file, line by line. `secrets` names the keys that hold old
// cipher text, as "SECTION/key" (case aside). True when `out` differs from `in`.
bool ConvertIniText(std::string_view in, const LegacyDecoder& decode, const std::vector<std::string>& secrets,
                    std::string& out, ConversionNotes& notes);

// A table file: every character field of every record; the header (and its
// date of last writing, which the reminders read) stays as it is.
struct TableRules {
    std::vector<std::string> secretFields;  // old cipher text (user.dat PWD)
    std::vector<std::string> wholeFields;   // never cut: left as they were when too long
};
enum class TableOutcome { Unchanged, Converted, NotATable };
TableOutcome ConvertTableBytes(std::string_view in, const LegacyDecoder& decode, const TableRules& rules,
                               std::string& out, ConversionNotes& notes);

// A plain text file (a diary day), line by line.
bool ConvertPlainText(std::string_view in, const LegacyDecoder& decode, std::string& out);

// The value of a key in a settings file's text (the first of that name, case
// aside), or "": read from the bytes, without the system's profile calls,
// which would take the text in the wrong code page before the conversion.
std::string IniValue(std::string_view text, std::string_view section, std::string_view key);

// ---- The folder ----

// The file operations the conversion needs; SystemFolderAccess() is the
// platform's (LegacyTextFiles_win.cpp / _host.cpp), tests wrap it. Its Read
// shares the file, so one another program holds open is still read (the
// notes search reads through it too).
class FolderAccess {
public:
    virtual ~FolderAccess() = default;
    virtual bool Exists(const std::string& path) const = 0;
    virtual bool Read(const std::string& path, std::string& bytes) const = 0;
    // Creates or truncates the file, writes the bytes and flushes them to the disk.
    virtual bool WriteNew(const std::string& path, const std::string& bytes) = 0;
    // Moves `from` over `to` in one step, replacing it.
    virtual bool MoveReplacing(const std::string& from, const std::string& to) = 0;
    // Names (not paths) of the files in the folder whose names end in `suffix`, case aside.
    virtual std::vector<std::string> FilesEnding(const std::string& folder, const std::string& suffix) const = 0;
};
FolderAccess& SystemFolderAccess();

// "<path>.<code page>.bak"
std::string BackupPath(const std::string& path, unsigned codePage);

// Replaces the file with new bytes: written beside it ("<path>.utf8-new"),
// the old bytes kept as the backup (written only when there is no backup yet,
// through a ".part" name), then moved into place. False when a step failed;
// the file is then either as it was or wholly replaced.
bool ReplaceKeepingBackup(FolderAccess& files, const std::string& path, const std::string& oldBytes,
                          const std::string& newBytes, const std::string& backup);

enum class DatabaseOutcome { Unchanged, Converted, Failed };

struct FolderConversion {
    std::string programFolder;  // ends with its separator
    unsigned codePage = 0;
    LegacyDecoder decode;
    FolderAccess* files = nullptr;
    // Converts a password database (the password box's library does it); the
    // backup path to keep. Unset: databases are left alone.
    std::function<DatabaseOutcome(const std::string& path, const std::string& backup, ConversionNotes& notes)>
        convertDatabase;
    // Called once the settings file is UTF-8, so the code page can be recorded
    // in it for a run that has to be finished later.
    std::function<void()> settingsReady;
};

struct ConversionReport {
    bool finished = false;    // every file is UTF-8 now
    std::string failedPath;   // the file that could not be converted, when not finished
    int filesConverted = 0;
    ConversionNotes notes;
};

ConversionReport ConvertProgramFolder(const FolderConversion& conversion);

}  // namespace pinora
