#include "TableCheck.h"

#include <cctype>
#include <cstring>
#include <vector>

#include "DamagedTables.h"
#include "TableFields.h"
#include "Tabulo.h"

namespace pinora {
namespace {

DamagedTableHandler g_handler = nullptr;

// Stored names are zero padded; some writers pad with blanks.
bool SameFieldName(const char* stored, const char* wanted) {
    size_t n = std::strlen(stored);
    while (n > 0 && stored[n - 1] == ' ') --n;
    if (n != std::strlen(wanted)) return false;
    for (size_t i = 0; i < n; ++i) {
        if (std::toupper(static_cast<unsigned char>(stored[i])) != std::toupper(static_cast<unsigned char>(wanted[i])))
            return false;
    }
    return true;
}

}  // namespace

bool HasLayout(const FileDBF& table, const FieldLayout* fields, int count) {
    if (table.GetFieldCount() != count) return false;
    for (int i = 1; i <= count; ++i) {
        const char* name = table.GetFieldName(i);
        const char* type = table.GetFieldType(i);
        if (!name || !type || *type != 'C' || table.GetFieldLength(i) != fields[i - 1].length ||
            (fields[i - 1].name != nullptr && !SameFieldName(name, fields[i - 1].name)))
            return false;
    }
    return true;
}

TableState OpenTableChecked(FileDBF& table, const std::string& path, const FieldLayout* fields, int count) {
    if (!TableFileExists(path)) return TableState::Missing;
    TableState state = TableState::Sound;
    if (table.Open(path.c_str()) != 0) {
        state = TableState::Refused;
    } else if (!HasLayout(table, fields, count)) {
        table.Close();
        state = TableState::Refused;
    } else if (table.HasMissingRecords()) {
        state = TableState::ShortOfRecords;
    }
    if (state != TableState::Sound) {
        KeepDamagedCopy(path);  // the first copy is the one nearest to what was lost
        ReportDamagedTable(path);
    }
    return state;
}

bool CreateTableWithLayout(const std::string& path, const FieldLayout* fields, int count) {
    std::vector<FieldHeaderCreat> descriptors;
    for (int i = 0; i < count; ++i) descriptors.push_back(CharField(fields[i].name, fields[i].length));
    FileDBF table;
    return table.Creat(path.c_str(), count, descriptors.data()) == 0;
}

bool OpenToRead(FileDBF& table, const std::string& path, const FieldLayout* fields, int count) {
    if (CanRead(OpenTableChecked(table, path, fields, count))) return true;
    table.Close();
    return false;
}

bool OpenToWrite(FileDBF& table, const std::string& path, const FieldLayout* fields, int count) {
    if (OpenTableChecked(table, path, fields, count) == TableState::Sound) return true;
    table.Close();
    return false;
}

bool OpenToWriteOrCreate(FileDBF& table, const std::string& path, const FieldLayout* fields, int count,
                         const std::function<bool()>& create) {
    const TableState state = OpenTableChecked(table, path, fields, count);
    if (state == TableState::Sound) return true;
    table.Close();
    if (state != TableState::Missing) return false;
    return create() && OpenToWrite(table, path, fields, count);
}

void SetDamagedTableHandler(DamagedTableHandler handler) { g_handler = handler; }

// Shares the once-per-run record of DamagedTables: whoever reports a table
// first, it is reported once. Without a handler nothing is used up.
void ReportDamagedTable(const std::string& path) {
    if (g_handler && FirstReportOfDamage(path)) g_handler(path);
}

}  // namespace pinora
