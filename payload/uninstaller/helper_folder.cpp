#include "payload/uninstaller/helper_folder.h"

#include <sddl.h>

#include <cstdio>

#include "payload/uninstaller/cleanup_helper.h"
#include "platform/win32/system_library.h"

namespace {

// Owner Administrators; DACL protected, full control for SYSTEM and Administrators, inherited
// by files and folders. One text that the Windows-side test compares as it is.
const char kHelperFolderSddl[] = "O:BAD:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)";
const int kFolderTries = 4;

std::string UserTempFolder() {
  char buffer[MAX_PATH + 1] = {};
  DWORD length = GetTempPathA(sizeof(buffer), buffer);
  return length > 0 && length < sizeof(buffer) ? std::string(buffer, length) : std::string();
}

// The machine's shared Windows folder. GetWindowsDirectoryA gives a user of a terminal server
// a private one in his profile, which he can write, unless the program is marked as aware of
// terminal servers; GetSystemWindowsDirectoryA (looked up: the oldest systems lack it, and
// have one Windows folder only) always gives the shared one.
std::string WindowsFolder() {
  using GetFolderFn = UINT(WINAPI*)(LPSTR, UINT);
  auto getFolder = win32::LookUpFunction<GetFolderFn>("kernel32.dll", "GetSystemWindowsDirectoryA");
  if (!getFolder) getFolder = ::GetWindowsDirectoryA;
  char buffer[MAX_PATH + 1] = {};
  const UINT length = getFolder(buffer, sizeof(buffer));
  return length > 0 && length < sizeof(buffer) ? std::string(buffer, length) : std::string();
}

}  // namespace

TUniqueDescriptor HelperFolderDescriptor() {
  // Looked up, so that the uninstaller still starts on NT 4, which lacks it.
  using ConvertFn = BOOL(WINAPI*)(LPCSTR, DWORD, PSECURITY_DESCRIPTOR*, PULONG);
  const auto convert = win32::LookUpFunction<ConvertFn>(
      "advapi32.dll", "ConvertStringSecurityDescriptorToSecurityDescriptorA");
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (!convert || !convert(kHelperFolderSddl, SDDL_REVISION_1, &descriptor, nullptr)) return nullptr;
  return TUniqueDescriptor(descriptor);
}

// RtlGenRandom, which advapi32 (imported already for the registry) exports as SystemFunction036
// from XP on; looked up so that nothing new is imported.
bool RandomHex(std::string& text) {
  using GenRandomFn = BOOLEAN(WINAPI*)(PVOID, ULONG);
  const auto genRandom = win32::LookUpFunction<GenRandomFn>("advapi32.dll", "SystemFunction036");
  unsigned char bytes[8];
  if (!genRandom || !genRandom(bytes, sizeof(bytes))) return false;
  text.clear();
  for (unsigned char b : bytes) {
    char digits[3];
    std::snprintf(digits, sizeof(digits), "%02x", b);
    text += digits;
  }
  return true;
}

std::string NewHelperFolder(TCreateDirectoryFn create) {
  const bool nt = win32::PlatformFamily() == VER_PLATFORM_WIN32_NT;
  const std::string parent = HelperFolderParent(nt, WindowsFolder(), UserTempFolder());
  const TUniqueDescriptor descriptor = nt ? HelperFolderDescriptor() : nullptr;
  if (parent.empty() || (nt && !descriptor)) return {};
  SECURITY_ATTRIBUTES attributes = {sizeof(attributes), descriptor.get(), FALSE};
  for (int attempt = 0; attempt < kFolderTries; ++attempt) {
    std::string name;
    if (!RandomHex(name)) return {};
    const std::string folder = parent + "tvl-" + name;
    if (create(folder.c_str(), nt ? &attributes : nullptr)) return folder + "\\";
    if (GetLastError() != ERROR_ALREADY_EXISTS) return {};
  }
  return {};
}
