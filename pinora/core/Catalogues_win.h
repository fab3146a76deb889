// Skin libraries ("skins\*.dll") and wink files ("winks\*.ewf") beside the
// program, their catalogues "skincfg.dat" and "winkcfg.dat", and reading names
// and pictures out of such libraries.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "CatalogueTable.h"

namespace pinora {

constexpr UINT kSkinNameString = 1;
constexpr UINT kSkinPreviewBitmap = 2;
constexpr UINT kWinkNameString = 102;

std::string SkinCataloguePath();
std::string WinkCataloguePath();

// Rebuild the catalogue from the folder: true when at least one file was listed
// and every record was written. A missing folder or no match leaves an empty table.
bool RebuildSkinCatalogue();
bool RebuildWinkCatalogue();

// The first wink file any rebuild of this process found ("" until then); the
// first-run settings use it for "stick_wink" and "auto_wink".
const std::string& DefaultWinkPath();
void ResetDefaultWinkPath();  // tests start each case afresh

// Library files of P\<folder> whose name ends in the extension, in listing order.
std::vector<std::string> ListLibraries(const char* folder, const char* extension);

// Loads the library for its resources only (no code of it runs), takes one string
// and frees it. The number of characters copied; 0 (and "" in buf) when missing.
int LoadLibraryString(const char* libraryPath, UINT id, char* buf, int size);
// The same for a bitmap; the handle belongs to the caller. nullptr when missing.
HBITMAP LoadLibraryBitmap(const char* libraryPath, UINT id);

}  // namespace pinora
