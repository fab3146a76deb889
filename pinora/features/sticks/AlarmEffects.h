// What an alarm shows besides its pop-up: the stick wink and the bitmap message
// window. The message window belongs to the rest reminder's work, which plugs it
// in here; until it does, an alarm shows its pop-up and plays its wink.
#pragma once
#include <string>

namespace pinora {

using ShowDrawingFn = void (*)(const char* text);

// nullptr: nothing is drawn.
void SetAlarmDrawing(ShowDrawingFn showDrawing);

// Plays the wink file through the animation player (not waited for).
void PlayAlarmWink(const std::string& winkFile);
void ShowAlarmDrawing(const std::string& text);

}  // namespace pinora
