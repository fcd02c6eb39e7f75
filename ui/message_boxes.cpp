#include "ui/message_boxes.h"

#include "platform/machine.h"
#include "platform/win_constants.h"
#include "setup/setup_state.h"

namespace {
// Whole locale identifiers (default sort order) whose ANSI code page is Windows-1251.
constexpr std::uint32_t kRussianUiLocales[] = {1026, 1049, 1058, 1059, 1087, 1092, 2073};
}  // namespace

bool DetectUiLanguage() {
  const std::uint32_t lcid = platform::Os().Sys.UserDefaultLcid();
  for (std::uint32_t russian : kRussianUiLocales)
    if (lcid == russian) return true;
  return false;
}

int ShowBox(bool russian, const std::string& text, const std::string& caption,
            std::uint32_t flags) {
  auto& boxes = platform::Os().Boxes;
  if (russian) return boxes.MessageBoxEx(text, caption, flags, win::kLangRussianNeutral);
  return boxes.MessageBox(text, caption, flags);
}

void ShowErrorBox(const std::string& EnglishText, const std::string& RussianText) {
  if (SetupState.UiRussian)
    ShowBox(true, RussianText, SetupState.ShortNameRu, flags::kErrorBox);
  else
    ShowBox(false, EnglishText, SetupState.ShortNameEn, flags::kErrorBox);
}
