#pragma once
// Loading of system DLLs from the system folder only, so that a DLL planted beside the
// setup (in its download folder, say) is never picked up; and the few facts of the system
// that the setup and the uninstaller both read.
#include "platform/win32/windows_api.h"

#include <string>
#include <vector>

namespace win32 {

// Restricts the process's DLL search to the system folder where the system offers
// SetDefaultDllDirectories (looked up at run time; older systems go without, and each
// program loads its system DLLs by full path anyway). Call first thing at start-up. True when
// the search is restricted.
bool RestrictDllSearchToSystemFolder();

// The system folder (GetSystemDirectoryA), without a final backslash; empty on failure.
std::string SystemFolder();

// OSVERSIONINFO.dwPlatformId: VER_PLATFORM_WIN32_WINDOWS (1) on the 9x family,
// VER_PLATFORM_WIN32_NT (2) on NT, and NT also where the system does not say.
DWORD PlatformFamily();

// For the Windows-side tests, which run on a system that has every function: the names that
// LookUpFunction then treats as missing, as an older system would. Empty in the programs.
std::vector<std::string>& FunctionsTreatedAsMissing();
bool TreatedAsMissing(const char* name);

// The function `name` of the already loaded module `module`, or null where that module or
// function is missing: for calls that older systems lack, looked up instead of imported.
template <typename Fn>
Fn LookUpFunction(HMODULE module, const char* name) {
  if (!module || TreatedAsMissing(name)) return nullptr;
  return reinterpret_cast<Fn>(reinterpret_cast<void*>(::GetProcAddress(module, name)));
}
template <typename Fn>
Fn LookUpFunction(const char* moduleName, const char* name) {
  return LookUpFunction<Fn>(::GetModuleHandleA(moduleName), name);
}

// LoadLibraryExA with the full path of `fileName` in the system folder; null on failure.
// The module stays loaded for the rest of the process.
HMODULE LoadSystemLibrary(const std::string& fileName);

}  // namespace win32
