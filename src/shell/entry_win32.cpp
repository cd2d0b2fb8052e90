// The Windows program's entry. The C and C++ run-time start-up has constructed the
// global objects by now; saverEntry reads the command line itself and ends the process,
// so the arguments handed in here are not used.
#include <windows.h>

#include "shell/saver_main.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) { saverEntry(); }
