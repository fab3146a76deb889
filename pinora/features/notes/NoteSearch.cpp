#include "NoteSearch.h"

#include "NotesLogic.h"

namespace pinora {

bool TextContainsKeywords(std::string text, std::string keywords, const KeywordFolding& folding) {
    text = NoteTextOf(text);
    folding.toUpper(text.data());
    folding.toUpper(keywords.data());
    return folding.find(text.c_str(), keywords.c_str()) != nullptr;
}

bool NoteContainsKeywords(const char* path, const char* keywords) {
    std::string bytes;
    if (!path || !keywords || !ReadNoteFile(path, bytes) || bytes.empty()) return false;
    return TextContainsKeywords(std::move(bytes), keywords, SystemFolding());
}

}  // namespace pinora
