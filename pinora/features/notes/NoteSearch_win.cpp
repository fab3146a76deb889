// Reading a note file on Windows: shared, so a note another program holds open
// can still be searched.
#include <windows.h>

#include "LegacyText.h"
#include "NoteSearch.h"

namespace pinora {

bool ReadNoteFile(const char* path, std::string& bytes) { return path && SystemFolderAccess().Read(path, bytes); }

}  // namespace pinora
