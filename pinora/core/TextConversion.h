// Start-up's side of the program's text being UTF-8: the check that the
// manifest's code page is in force, and the one-time conversion of a folder
// that an earlier version wrote in the legacy code page (LegacyText.h).
#pragma once
#include <string>

namespace pinora {

// When the process's code page is not UTF-8 (Windows before 10 version 1903
// ignores the manifest's setting), says so and returns true: the program must
// not run and mix the two.
bool RefuseLegacyCodePage(unsigned activeCodePage);

// Converts the program folder once, unless "[SETTINGS] text_encoding" says it
// is UTF-8. The code page is the system's legacy one, or the one a run that
// was cut short recorded ("text_encoding_from"). What had to be shortened goes
// to "text-conversion.txt" in the program folder and the user is told once.
// False when the conversion could not be finished: the user was told, and the
// program must not go on (the next start finishes it).
bool ConvertFolderTextOnce();

// The settings key and the value that mark a folder whose text is UTF-8;
// a new folder gets it with the first-run settings.
extern const char* const kTextEncodingKey;
extern const char* const kTextEncodingUtf8;
// The log of what the conversion shortened, in the program folder.
std::string ConversionLogPath();

}  // namespace pinora
