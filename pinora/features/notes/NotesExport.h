// Export of ticked notes into a word processor's document. Word, when it is
// registered, is driven through automation by name; otherwise the same content
// goes into an RTF document that the shell opens (WordPad where there is no Word).
#pragma once
#include <windows.h>
#include <oaidl.h>

#include <functional>
#include <string>
#include <vector>

namespace pinora {

// IDispatch by name: kind is DISPATCH_METHOD, DISPATCH_PROPERTYGET or
// DISPATCH_PROPERTYPUT (one named argument, DISPID_PROPERTYPUT). The arguments
// go to Invoke in the order given, and IDispatch reads them last to first.
// A failure is described to the debugger and returned; callers carry on.
HRESULT InvokeByName(WORD kind, VARIANT* result, IDispatch* object, const char* name, int argCount,
                     VARIANT* args);

// Where exported text goes: typed in at the end, italics switched on for good.
class ExportDocument {
public:
    virtual ~ExportDocument() = default;
    virtual void TypeText(const std::string& ansiText) = 0;
    virtual void SetItalic() = 0;
};

// Starts the word processor's application object (AddRef'd), or nullptr.
using WordStarter = std::function<IDispatch*()>;
// The default: "Word.Application" as a local server.
IDispatch* StartWordApplication();

struct ExportEntry {
    std::string path;  // the day file
};

// Types each file's text (up to its first NUL) into the document, or, for a file
// that cannot be opened, the italic line "No notes today:" + path + CR LF.
void TypeNotes(ExportDocument& document, const std::vector<ExportEntry>& entries);

// Runs the export into a new Word document. False when Word could not be
// started, so the caller can fall back.
bool ExportToWord(const WordStarter& startWord, const std::vector<ExportEntry>& entries);

// The RTF fallback: writes the document into the folder under a name that does
// not exist yet ("Notes export 2008-09-09 10.30.15.rtf") and returns its path,
// or "" when it could not be written.
std::string ExportToRtfFile(const std::string& folder, const std::vector<ExportEntry>& entries);

}  // namespace pinora
