#include "AlarmEffects.h"

#include "WinkPlayer.h"

namespace pinora {
namespace {
ShowDrawingFn g_showDrawing = nullptr;
}  // namespace

void SetAlarmDrawing(ShowDrawingFn showDrawing) { g_showDrawing = showDrawing; }

void PlayAlarmWink(const std::string& winkFile) {
    if (!winkFile.empty()) PlayWink(winkFile.c_str());
}

void ShowAlarmDrawing(const std::string& text) {
    if (g_showDrawing) g_showDrawing(text.c_str());
}

}  // namespace pinora
