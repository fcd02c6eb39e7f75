#include "platform/win32/system_library.h"

#include <vector>

#ifndef LOAD_LIBRARY_SEARCH_SYSTEM32
#define LOAD_LIBRARY_SEARCH_SYSTEM32 0x00000800
#endif

namespace win32 {

std::string SystemFolder() {
  const UINT length = ::GetSystemDirectoryA(nullptr, 0);
  if (length == 0) return {};
  std::vector<char> folder(length + 1);
  const UINT written = ::GetSystemDirectoryA(folder.data(), length + 1);
  if (written == 0 || written > length) return {};
  return std::string(folder.data(), written);
}

DWORD PlatformFamily() {
  OSVERSIONINFOA info{};
  info.dwOSVersionInfoSize = sizeof(info);
  // GetVersionExA is deprecated for version numbers, but the platform family it reports
  // is exact on every system.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  if (!::GetVersionExA(&info)) return VER_PLATFORM_WIN32_NT;
#pragma GCC diagnostic pop
  return info.dwPlatformId;
}

std::vector<std::string>& FunctionsTreatedAsMissing() {
  static std::vector<std::string> names;
  return names;
}

bool TreatedAsMissing(const char* name) {
  for (const std::string& missing : FunctionsTreatedAsMissing())
    if (missing == name) return true;
  return false;
}

bool RestrictDllSearchToSystemFolder() {
  using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
  const auto setDefault =
      LookUpFunction<SetDefaultDllDirectoriesFn>("kernel32.dll", "SetDefaultDllDirectories");
  return setDefault && setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32);
}

HMODULE LoadSystemLibrary(const std::string& fileName) {
  const std::string folder = SystemFolder();
  if (folder.empty()) return nullptr;
  const std::string path = folder + (folder.back() == '\\' ? "" : "\\") + fileName;
  // LOAD_WITH_ALTERED_SEARCH_PATH: the DLL's own dependencies are searched beside it,
  // in the system folder, as well.
  return ::LoadLibraryExA(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

}  // namespace win32
