// A second process for the shared-section test: loads the pnhook.dll it is given
// and writes what it sees there into a file, one number per line: the ten words
// of the shared record, then HK_GetLastActiveTick.
//   pnhook_peer <pnhook.dll> <output file>
#include <windows.h>

#include <cstdio>

#include "SharedSection.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: pnhook_peer <pnhook.dll> <output file>\n");
        return 2;
    }
    HMODULE dll = LoadLibraryA(argv[1]);
    if (!dll) return 3;
    using TickFn = DWORD(__cdecl*)();
    auto lastActive = reinterpret_cast<TickFn>(reinterpret_cast<void*>(GetProcAddress(dll, "HK_GetLastActiveTick")));
    pnhook::test::SectionView view = pnhook::test::FindHookSection(dll);
    if (!lastActive || !view.record) return 4;
    std::FILE* out = std::fopen(argv[2], "w");
    if (!out) return 5;
    const volatile std::uint32_t* words = reinterpret_cast<const volatile std::uint32_t*>(view.record);
    for (int i = 0; i < 10; ++i) std::fprintf(out, "%lu\n", static_cast<unsigned long>(words[i]));
    std::fprintf(out, "%lu\n", static_cast<unsigned long>(lastActive()));
    std::fclose(out);
    FreeLibrary(dll);
    return 0;
}
