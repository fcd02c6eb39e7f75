#include "payload/uninstaller/own_module.h"

#include <windows.h>

#include <vector>

#include "platform/win32/system_library.h"

namespace {

const DWORD kLongestPath = 32768;  // characters Windows allows in a path, with its terminator

// The long form of an existing path: started through a short 8.3 name ("PROGRA~1"), the
// uninstaller is still in the folder that the entry names in full. GetLongPathNameA is looked
// up, as the oldest systems lack it; the path stays as it is where it cannot be had.
std::string LongForm(const std::string& path) {
  using GetLongPathNameFn = DWORD(WINAPI*)(LPCSTR, LPSTR, DWORD);
  const auto getLongPathName =
      win32::LookUpFunction<GetLongPathNameFn>("kernel32.dll", "GetLongPathNameA");
  if (!getLongPathName) return path;
  std::vector<char> buffer(kLongestPath);
  const DWORD length = getLongPathName(path.c_str(), buffer.data(), kLongestPath);
  return length > 0 && length < kLongestPath ? std::string(buffer.data(), length) : path;
}

}  // namespace

std::string OwnModulePath() {
  // A result that fills the buffer may be cut short (and, on older systems, not terminated),
  // so the buffer grows until it does not.
  for (DWORD size : {DWORD{MAX_PATH + 1}, kLongestPath}) {
    std::vector<char> buffer(size);
    const DWORD length = GetModuleFileNameA(nullptr, buffer.data(), size);
    if (length == 0) return {};
    if (length < size) return LongForm(std::string(buffer.data(), length));
  }
  return {};
}
