// VekFlash.exe: plays the movie named by the whole command line, once.
#include <windows.h>

#include "vekflash_win.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
  // The show state asked for by the starting program is not used: the main
  // window stays hidden and the movie shows in its own top-most window.
  return vekflash::RunVekFlash(instance, commandLine);
}
