#include "Catalogues_win.h"

#include <cstring>

#include "Handles.h"
#include "Settings.h"
#include "Utf8Text.h"
#include "WindowText.h"

namespace pinora {
namespace {

struct CatalogueKind {
    const char* folder;
    const char* extension;
    const char* table;
    const char* nameField;
    UINT nameString;
};

const CatalogueKind kSkins = {"skins", ".dll", "skincfg.dat", "SKINNAME", kSkinNameString};
const CatalogueKind kWinks = {"winks", ".ewf", "winkcfg.dat", "WINKNAME", kWinkNameString};

std::string& DefaultWink() {
    static std::string path;
    return path;
}

bool EndsWithNoCase(const char* name, const char* ending) {
    size_t n = std::strlen(name), e = std::strlen(ending);
    return n > e && lstrcmpiA(name + n - e, ending) == 0;
}

// Resources only: a library dropped into the folder never gets to run code in us.
uikit::UniqueModule LoadResourcesOf(const char* libraryPath) {
    if (!libraryPath || !*libraryPath) return uikit::UniqueModule();
    return uikit::UniqueModule(
        LoadLibraryExA(libraryPath, nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
}

// The library's own name, or its file name when it carries none.
std::string DisplayName(const std::string& path, UINT id) {
    char name[kCatalogueNameLength] = {};
    if (LoadLibraryString(path.c_str(), id, name, sizeof name) > 0) return name;
    return path.substr(path.find_last_of('\\') + 1);
}

bool Rebuild(const CatalogueKind& kind) {
    std::string table = ProgramFolder() + kind.table;
    if (!CreateCatalogue(table, kind.nameField)) return false;
    std::vector<std::string> files = ListLibraries(kind.folder, kind.extension);
    std::vector<CatalogueEntry> entries;
    for (std::string& file : files) {
        // A path the record would cut would name some other file.
        if (FitsCataloguePath(file)) entries.push_back({DisplayName(file, kind.nameString), std::move(file)});
    }
    if (entries.empty()) return false;
    if (&kind == &kWinks && DefaultWink().empty()) DefaultWink() = entries.front().file;
    return AppendCatalogueEntries(table, entries);
}

}  // namespace

std::string SkinCataloguePath() { return ProgramFolder() + kSkins.table; }
std::string WinkCataloguePath() { return ProgramFolder() + kWinks.table; }

bool RebuildSkinCatalogue() { return Rebuild(kSkins); }
bool RebuildWinkCatalogue() { return Rebuild(kWinks); }

const std::string& DefaultWinkPath() { return DefaultWink(); }
void ResetDefaultWinkPath() { DefaultWink().clear(); }

std::vector<std::string> ListLibraries(const char* folder, const char* extension) {
    std::vector<std::string> files;
    std::string dir = ProgramFolder() + folder + "\\";
    WIN32_FIND_DATAA fd;
    uikit::UniqueFind find(FindFirstFileA((dir + "*" + extension).c_str(), &fd));
    if (!find) return files;
    do {
        // The pattern also matches longer endings through short names ("x.dllx").
        if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && EndsWithNoCase(fd.cFileName, extension))
            files.push_back(dir + fd.cFileName);
    } while (FindNextFileA(find.get(), &fd));
    return files;
}

int LoadLibraryString(const char* libraryPath, UINT id, char* buf, int size) {
    if (!buf || size <= 0) return 0;
    buf[0] = '\0';
    uikit::UniqueModule lib = LoadResourcesOf(libraryPath);
    if (!lib) return 0;
    uikit::CopyUtf8(buf, static_cast<size_t>(size), uikit::ResourceText(lib.get(), id).c_str());
    return static_cast<int>(std::strlen(buf));
}

HBITMAP LoadLibraryBitmap(const char* libraryPath, UINT id) {
    uikit::UniqueModule lib = LoadResourcesOf(libraryPath);
    if (!lib) return nullptr;
    return static_cast<HBITMAP>(LoadImageA(lib.get(), MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0, 0));
}

}  // namespace pinora
