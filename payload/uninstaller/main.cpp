#include <windows.h>

#include "payload/uninstaller/uninstaller.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) { return RunUninstaller(); }
