// The skin and wink catalogues: small tables beside the program that list the
// libraries found in a folder, one record per file, numbered from 1. They are
// derived data, rebuilt from the folder whenever they are needed.
#pragma once
#include <string>
#include <vector>

namespace pinora {

struct CatalogueEntry {
    std::string name;  // display name taken from the library
    std::string file;  // full path of the library
};

// Field lengths of the tables; a read gives back at most length - 1 characters.
constexpr int kCatalogueNumberLength = 12;
constexpr int kCatalogueNameLength = 64;
constexpr int kCataloguePathLength = 255;

// Whether a path survives a round trip through the RESFILE field uncut.
bool FitsCataloguePath(const std::string& path);

// Replaces the table with the fields NUMBER, <nameField>, RESFILE. False when it
// cannot be created.
bool CreateCatalogue(const std::string& tablePath, const char* nameField);

// Appends one record per entry, numbered on from the records already there, names
// cut to what the field keeps. False as soon as an append or a write fails.
bool AppendCatalogueEntries(const std::string& tablePath, const std::vector<CatalogueEntry>& entries);

// Every record's name and file, in record order; empty when the table is missing.
std::vector<CatalogueEntry> ReadCatalogue(const std::string& tablePath);

}  // namespace pinora
