#include "NoteSearch.h"

#include "NotesLogic.h"
#include "TextFold.h"

namespace pinora {

bool TextContainsKeywords(const std::string& text, const std::string& keywords) {
    return uikit::ContainsIgnoringCase(NoteTextOf(text), keywords);
}

bool NoteContainsKeywords(const char* path, const char* keywords) {
    std::string bytes;
    if (!path || !keywords || !ReadNoteFile(path, bytes) || bytes.empty()) return false;
    return TextContainsKeywords(bytes, keywords);
}

}  // namespace pinora
