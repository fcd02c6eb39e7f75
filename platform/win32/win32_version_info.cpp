#include "platform/win32/win32_version_info.h"

#include "platform/win32/windows_api.h"
#include <shellapi.h>

#include <cstring>
#include <vector>

#include "platform/win32/system_library.h"

namespace win32 {
namespace {

using GetFileVersionInfoSizeAFn = DWORD(WINAPI*)(LPCSTR, LPDWORD);
using GetFileVersionInfoAFn = BOOL(WINAPI*)(LPCSTR, DWORD, DWORD, LPVOID);
using VerQueryValueAFn = BOOL(WINAPI*)(LPCVOID, LPCSTR, LPVOID*, PUINT);

struct VersionDll {
  GetFileVersionInfoSizeAFn InfoSize = nullptr;
  GetFileVersionInfoAFn Info = nullptr;
  VerQueryValueAFn Query = nullptr;
  bool Usable() const { return InfoSize && Info && Query; }
};

// Loaded once and kept for the rest of the process.
const VersionDll& Version() {
  static const VersionDll dll = [] {
    VersionDll result;
    HMODULE module = LoadSystemLibrary("version.dll");
    if (!module) return result;
    result.InfoSize = LookUpFunction<GetFileVersionInfoSizeAFn>(module, "GetFileVersionInfoSizeA");
    result.Info = LookUpFunction<GetFileVersionInfoAFn>(module, "GetFileVersionInfoA");
    result.Query = LookUpFunction<VerQueryValueAFn>(module, "VerQueryValueA");
    return result;
  }();
  return dll;
}

// VerQueryValueA may write ANSI conversions into the block's spare room, so it works on a
// private copy; what it finds is copied out before the copy goes.
bool Query(const std::string& block, const char* subBlock, std::string& found, bool text) {
  const VersionDll& dll = Version();
  if (!dll.Usable() || block.empty()) return false;
  std::vector<char> copy(block.begin(), block.end());
  void* value = nullptr;
  UINT length = 0;
  if (!dll.Query(copy.data(), subBlock, &value, &length) || !value) return false;
  const char* start = static_cast<const char*>(value);
  const char* end = copy.data() + copy.size();
  // The value lies inside the block; never read past it, whatever the length claims.
  if (start < copy.data() || start > end) return false;
  std::size_t size = static_cast<std::size_t>(end - start);
  if (length < size) size = length;
  if (text) size = ::strnlen(start, size);
  found.assign(start, size);
  return true;
}

}  // namespace

std::uintptr_t Win32VersionInfo::ExeType(const std::string& path) {
  SHFILEINFOA info{};
  return static_cast<std::uintptr_t>(
      ::SHGetFileInfoA(path.c_str(), 0, &info, sizeof(SHFILEINFOA), SHGFI_EXETYPE));
}

std::uint32_t Win32VersionInfo::InfoSize(const std::string& path) {
  const VersionDll& dll = Version();
  if (!dll.Usable()) return 0;
  DWORD handle = 0;
  return dll.InfoSize(path.c_str(), &handle);
}

bool Win32VersionInfo::LoadInfo(const std::string& path, std::uint32_t size, std::string& block) {
  block.assign(size, '\0');
  const VersionDll& dll = Version();
  if (!dll.Usable() || size == 0) return false;
  return dll.Info(path.c_str(), 0, size, &block[0]) != FALSE;
}

bool Win32VersionInfo::QueryTranslations(const std::string& block, std::string& table) {
  return Query(block, "\\VarFileInfo\\Translation", table, false);
}

bool Win32VersionInfo::QueryString(const std::string& block, const std::string& subBlock,
                                   std::string& text) {
  return Query(block, subBlock.c_str(), text, true);
}

}  // namespace win32
