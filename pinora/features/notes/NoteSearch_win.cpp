// Reading a note file on Windows: shared, so a note another program holds open
// can still be searched.
#include <windows.h>

#include "Handles.h"
#include "NoteSearch.h"

namespace pinora {

bool ReadNoteFile(const char* path, std::string& bytes) {
    // Shared: a note another program holds open can still be read.
    uikit::UniqueFile file(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                       OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    LARGE_INTEGER size = {};
    if (!GetFileSizeEx(file.get(), &size) || size.QuadPart > 0x7FFFFFFF) return false;
    bytes.resize(static_cast<size_t>(size.QuadPart));
    DWORD got = 0;
    if (!bytes.empty() && !ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr))
        return false;
    bytes.resize(got);
    return true;
}

}  // namespace pinora
