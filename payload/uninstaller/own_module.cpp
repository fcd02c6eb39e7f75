#include "payload/uninstaller/own_module.h"

#include <windows.h>

#include <vector>

std::string OwnModulePath() {
  // 32767 characters is the longest path Windows has; a result that fills the buffer may be
  // cut short (and, on older systems, not terminated), so the buffer grows until it does not.
  for (DWORD size = MAX_PATH + 1; size <= 32768; size *= 2) {
    std::vector<char> buffer(size);
    const DWORD length = GetModuleFileNameA(nullptr, buffer.data(), size);
    if (length == 0) return {};
    if (length < size) return std::string(buffer.data(), length);
  }
  return {};
}
