// Any bytes as a skin or wink catalogue: every entry read, one appended.
#include "CatalogueTable.h"
#include "Scratch.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string path = fuzz::WriteScratch("skincfg.dat", data, size);
    const std::vector<pinora::CatalogueEntry> entries = pinora::ReadCatalogue(path);
    for (const pinora::CatalogueEntry& e : entries) {
        fuzz::Require(e.name.size() < pinora::kCatalogueNameLength);
        fuzz::Require(e.file.size() < pinora::kCataloguePathLength);
    }
    if (pinora::AppendCatalogueEntries(path, {{"Fuzz", "C:\\P\\skins\\fuzz.dll"}}))
        fuzz::Require(pinora::ReadCatalogue(path).size() == entries.size() + 1);
    return 0;
}
