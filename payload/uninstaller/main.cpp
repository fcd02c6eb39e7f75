#include <windows.h>

#include "payload/uninstaller/uninstaller.h"
#include "platform/win32/system_library.h"

// The uninstaller runs elevated, and so does its helper copy from a folder of its own: before
// anything can load a DLL by search, the search is kept to the system folder.
int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  win32::RestrictDllSearchToSystemFolder();
  return RunUninstaller();
}
