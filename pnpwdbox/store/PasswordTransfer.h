// The store's side of moving passwords in from other managers and back out
// (pnpwdbox/interop reads and writes their files): what the box can hold, the
// records it has, an import plan added in one transaction, and the export
// file made from its records.
#pragma once
#include <functional>
#include <string>
#include <vector>

#include "BoxImport.h"
#include "PwdStore.h"

namespace pnstore {

// What the box holds, in bytes of its own text (the record dialog's fields,
// the longest password the store takes), and the fields it needs: a group,
// a password and an address. Not the user name (see NewRecord).
pninterop::BoxLimits ImportLimits();

// The import's view of the current box: its limits, and the key (group, user
// name, address) of each sound live record. False while the box is locked or
// when it could not be read.
bool FillImportRules(pninterop::ImportRules& rules);

// The plan's records added in one transaction (CPwdStore::addRecords).
AddResult AddPlannedRecords(const pninterop::ImportPlan& plan);

enum class ExportFormat { KeePassXml, KeePassXcCsv };
// The format a file name asks for: KeePassXC's CSV for ".csv" (any case),
// KeePass 2 XML otherwise.
ExportFormat ExportFormatOfName(const std::string& path);

// The name of the group the exported groups hang from ("Root", as KeePassXC
// names it). The box's group of that name is exported as that root group's
// own entries, where an import of KeePassXC's file took them from.
extern const char kExportRootGroup[];

struct ExportFile {
    std::string bytes;
    size_t written = 0;
    // Records left out: damaged ones (never exported), and those whose text
    // does not convert or that the format cannot carry exactly.
    size_t leftOut = 0;
};

// Every live record of the current box in the file's form. `fromBox` turns
// the box's text into UTF-8; `randomBytes` gives the XML its UUIDs. False while
// the box is locked or when the database could not be read to the end.
bool BuildExportFile(ExportFormat format, const pninterop::FromBoxText& fromBox,
                     const std::function<void(unsigned char*, size_t)>& randomBytes, ExportFile& file);

}  // namespace pnstore
