// Where a loaded copy of pnhook.dll keeps its shared record: the section named
// ".HOOKDAT" in the module's own headers. Used by the tests and their peer.
#pragma once
#include <windows.h>

#include <cstring>

#include "HookCore.h"

namespace pnhook::test {

struct SectionView {
    pnhook::SharedRecord* record = nullptr;
    DWORD virtualSize = 0;
    DWORD characteristics = 0;
};

inline SectionView FindHookSection(HMODULE module) {
    SectionView view;
    if (!module) return view;
    auto* base = reinterpret_cast<BYTE*>(module);
    auto* dos = reinterpret_cast<IMAGE_DOS_HEADER*>(base);
    auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    IMAGE_SECTION_HEADER* section = IMAGE_FIRST_SECTION(nt);
    for (WORD i = 0; i < nt->FileHeader.NumberOfSections; ++i, ++section) {
        if (std::memcmp(section->Name, ".HOOKDAT", 8) != 0) continue;
        view.record = reinterpret_cast<pnhook::SharedRecord*>(base + section->VirtualAddress);
        view.virtualSize = section->Misc.VirtualSize;
        view.characteristics = section->Characteristics;
        break;
    }
    return view;
}

}  // namespace pnhook::test
