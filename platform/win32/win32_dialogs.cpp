#include "platform/win32/win32_dialogs.h"

#include "platform/win32/windows_api.h"

namespace win32 {

int Win32Dialogs::MessageBox(const std::string& text, const std::string& caption,
                             std::uint32_t flags) {
  return ::MessageBoxA(nullptr, text.c_str(), caption.c_str(), flags);
}

int Win32Dialogs::MessageBoxEx(const std::string& text, const std::string& caption,
                               std::uint32_t flags, std::uint16_t languageId) {
  return ::MessageBoxExA(nullptr, text.c_str(), caption.c_str(), flags, languageId);
}

}  // namespace win32
