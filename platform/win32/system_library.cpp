#include "platform/win32/system_library.h"

#include <vector>

namespace win32 {
namespace {

#ifndef LOAD_LIBRARY_SEARCH_SYSTEM32
#define LOAD_LIBRARY_SEARCH_SYSTEM32 0x00000800
#endif

std::string SystemFolder() {
  const UINT length = ::GetSystemDirectoryA(nullptr, 0);
  if (length == 0) return {};
  std::vector<char> folder(length + 1);
  const UINT written = ::GetSystemDirectoryA(folder.data(), length + 1);
  if (written == 0 || written > length) return {};
  return std::string(folder.data(), written);
}

}  // namespace

void RestrictDllSearchToSystemFolder() {
  using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
  HMODULE kernel = ::GetModuleHandleA("kernel32.dll");
  if (!kernel) return;
  const auto setDefault = reinterpret_cast<SetDefaultDllDirectoriesFn>(
      reinterpret_cast<void*>(::GetProcAddress(kernel, "SetDefaultDllDirectories")));
  if (setDefault) setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32);
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
