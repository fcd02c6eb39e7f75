#include "payload/uninstaller/uninstall_box.h"

#include "payload/common/ui_locale.h"
#include "setup/product.h"

namespace {
const WORD kRussianLanguageId = 25;
}

int ShowUninstallBox(const uninstall_texts::TText& text, const std::string& extra, UINT style) {
  if (IsRussianUiLocale(GetUserDefaultLCID()))
    return MessageBoxExA(nullptr, (text.Ru + extra).c_str(), product::kShortNameRu, style, kRussianLanguageId);
  return MessageBoxA(nullptr, (text.En + extra).c_str(), product::kShortNameEn, style);
}
