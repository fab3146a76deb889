// Playing a wink: the animation is copied out of the wink file into a temporary
// file and the player program VekFlash.exe beside us is started on it. Used by
// the alarm display, the rest reminder and the wink previews of the settings.
#pragma once
#include <string>

namespace pinora {

constexpr int kWinkMovieResource = 101;  // of type "SWF"

// %TEMP%\Temp1.swf: each play overwrites it, the main window deletes it at exit.
std::string TempWinkPath();
// VekFlash.exe in the program folder.
std::string WinkPlayerPath();

// Writes the movie resource of the wink file into TempWinkPath() and puts that path
// into out (size bytes). False when the file cannot be loaded, carries no such
// movie, or the temporary file cannot be written whole.
bool ExtractWinkResource(const char* winkFile, int resourceId, char* out, int size);

// Extracts the movie and starts the player on it without waiting for it. True when
// the player was started; false for a null file, a failed extraction or a missing
// player (the temporary file is written by then).
bool PlayWink(const char* winkFile, int resourceId = kWinkMovieResource);

}  // namespace pinora
