#include "CatalogueTable.h"

#include <cstdio>
#include <cstring>

#include "TableCheck.h"
#include "TableFields.h"
#include "Tabulo.h"
#include "Utf8Text.h"

namespace pinora {
namespace {

enum { kNumberField = 1, kNameField = 2, kFileField = 3 };

// The second field is SKINNAME in the skin catalogue, WINKNAME in the wink one.
constexpr FieldLayout kCatalogueLayout[] = {
    {"NUMBER", kCatalogueNumberLength}, {nullptr, kCatalogueNameLength}, {"RESFILE", kCataloguePathLength}};
constexpr int kCatalogueFieldCount = 3;


// Closes the table on every way out.
struct OpenTable {
    FileDBF dbf;
    ~OpenTable() {
        if (dbf.IsOpen()) dbf.Close();
    }
};

}  // namespace

bool FitsCataloguePath(const std::string& path) {
    return !path.empty() && path.size() < static_cast<size_t>(kCataloguePathLength);
}

bool CreateCatalogue(const std::string& tablePath, const char* nameField) {
    std::remove(tablePath.c_str());
    FieldHeaderCreat fields[] = {CharField("NUMBER", kCatalogueNumberLength),
                                 CharField(nameField, kCatalogueNameLength),
                                 CharField("RESFILE", kCataloguePathLength)};
    OpenTable table;
    return table.dbf.Creat(tablePath.c_str(), 3, fields) == 0;
}

bool AppendCatalogueEntries(const std::string& tablePath, const std::vector<CatalogueEntry>& entries) {
    OpenTable table;
    if (OpenTableChecked(table.dbf, tablePath, kCatalogueLayout, kCatalogueFieldCount) != TableState::Sound)
        return false;
    for (const CatalogueEntry& e : entries) {
        if (table.dbf.AppendRecord() != 0) return false;
        char number[kCatalogueNumberLength] = {};
        std::snprintf(number, sizeof number, "%ld", table.dbf.GetCurrentRecordNumber());
        std::string name = uikit::Utf8Prefix(e.name, kCatalogueNameLength - 1);
        if (table.dbf.WriteField(kNumberField, number) != 0 || table.dbf.WriteField(kNameField, name.c_str()) != 0 ||
            table.dbf.WriteField(kFileField, e.file.c_str()) != 0)
            return false;
    }
    return true;
}

std::vector<CatalogueEntry> ReadCatalogue(const std::string& tablePath) {
    std::vector<CatalogueEntry> entries;
    OpenTable table;
    if (!CanRead(OpenTableChecked(table.dbf, tablePath, kCatalogueLayout, kCatalogueFieldCount))) return entries;
    const long count = table.dbf.GetRecords();
    for (long n = 1; n <= count; ++n) {
        char name[256] = {};
        char file[256] = {};  // a field never gives more than 255 bytes
        if (table.dbf.Go(n) != 0 || table.dbf.ReadField(kNameField, name) != 0 ||
            table.dbf.ReadField(kFileField, file) != 0)
            break;
        entries.push_back({name, file});
    }
    return entries;
}

}  // namespace pinora
