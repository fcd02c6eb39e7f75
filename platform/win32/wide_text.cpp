#include "platform/win32/wide_text.h"

#include "platform/win32/windows_api.h"

#include <vector>

namespace win32 {

std::wstring WideFromAnsi(const std::string& text) {
  const int length = ::MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
  if (length <= 0) return {};
  std::vector<wchar_t> wide(static_cast<std::size_t>(length));
  if (::MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, wide.data(), length) != length)
    return {};
  return std::wstring(wide.data());
}

}  // namespace win32
