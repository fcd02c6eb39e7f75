#pragma once
// System message boxes, never with an owner window.
#include "platform/dialogs.h"

namespace win32 {

class Win32Dialogs final : public platform::Dialogs {
 public:
  int MessageBox(const std::string& text, const std::string& caption,
                 std::uint32_t flags) override;
  int MessageBoxEx(const std::string& text, const std::string& caption, std::uint32_t flags,
                   std::uint16_t languageId) override;
};

}  // namespace win32
