#include <windows.h>

#include "AppMain.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) { return pinora::RunPinora(); }
