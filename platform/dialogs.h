#pragma once
// System message boxes (user32). No box has an owner window.
#include <cstdint>
#include <string>

namespace platform {

class Dialogs {
 public:
  virtual ~Dialogs() = default;
  // MessageBoxA(NULL, text, caption, flags); 0 when the box could not be shown.
  virtual int MessageBox(const std::string& text, const std::string& caption,
                         std::uint32_t flags) = 0;
  // MessageBoxExA(NULL, text, caption, flags, languageId).
  virtual int MessageBoxEx(const std::string& text, const std::string& caption,
                           std::uint32_t flags, std::uint16_t languageId) = 0;
};

}  // namespace platform
