#include "payload/uninstaller/uninstall_box.h"

#include "payload/common/ui_locale.h"
#include "setup/product.h"

namespace {
const WORD kRussianLanguageId = 25;
}

const char* InUiLanguage(const uninstall_texts::TText& text) {
  return IsRussianUiLocale(GetUserDefaultLCID()) ? text.Ru : text.En;
}

int ShowUninstallBox(const uninstall_texts::TText& text, const std::string& extra, UINT style) {
  const std::string shown = InUiLanguage(text) + extra;
  if (IsRussianUiLocale(GetUserDefaultLCID()))
    return MessageBoxExA(nullptr, shown.c_str(), product::kShortNameRu, style, kRussianLanguageId);
  return MessageBoxA(nullptr, shown.c_str(), product::kShortNameEn, style);
}
