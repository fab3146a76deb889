// What the program's own tables must look like, and what becomes of one that
// does not: it is refused (or, when it only lacks records its header claims,
// read as far as it goes), a copy is kept beside it as "<name>.bad", the user
// is told once, and nothing is written to it (DamagedTables.h).
#pragma once
#include <functional>
#include <string>

#include "Tabulo.h"

namespace pinora {

// One character field of a table's layout; a null name takes any name.
struct FieldLayout {
    const char* name;
    int length;
};

// Every field present, in this order, of type C and of exactly this length;
// names compare without regard to case.
bool HasLayout(const FileDBF& table, const FieldLayout* fields, int count);

enum class TableState {
    Missing,         // no such file
    Refused,         // there, but unreadable or laid out otherwise: not used at all
    ShortOfRecords,  // its header claims records the file does not hold: read only
    Sound,
};

// Opens the table at path and checks it against the layout; a table that is
// there but not sound is reported (once) and closed again unless it can still
// be read. The table is open afterwards for ShortOfRecords and Sound.
TableState OpenTableChecked(FileDBF& table, const std::string& path, const FieldLayout* fields, int count);
inline bool CanRead(TableState state) { return state == TableState::ShortOfRecords || state == TableState::Sound; }

// Creates (or truncates) the table with these character fields; it is closed
// again. False when it cannot be written.
bool CreateTableWithLayout(const std::string& path, const FieldLayout* fields, int count);

// For reading: a sound table, or one short of records (read as far as it goes).
bool OpenToRead(FileDBF& table, const std::string& path, const FieldLayout* fields, int count);
// For writing: a sound table only.
bool OpenToWrite(FileDBF& table, const std::string& path, const FieldLayout* fields, int count);
// For writing, creating the table with create() only when there is no file at
// all: a file that is there is never created anew over.
bool OpenToWriteOrCreate(FileDBF& table, const std::string& path, const FieldLayout* fields, int count,
                         const std::function<bool()>& create);

// Who tells the user about a damaged table: the program installs one that
// shows a message; without one, reports go nowhere.
using DamagedTableHandler = void (*)(const std::string& path);
void SetDamagedTableHandler(DamagedTableHandler handler);
// Hands a table that cannot be used as it stands to the handler, the first
// time only for each path in this run (see FirstReportOfDamage).
void ReportDamagedTable(const std::string& path);

}  // namespace pinora
