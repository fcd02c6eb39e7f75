// The uninstaller's one kind of message box, in the UI language of the user's locale.
#pragma once

#include <windows.h>

#include <string>

#include "payload/uninstaller/uninstall_texts.h"

// The form of `text` in the UI language of the user's locale.
const char* InUiLanguage(const uninstall_texts::TText& text);

// Shows the text in the UI language, followed by extra, under the product's short name;
// returns the button pressed.
int ShowUninstallBox(const uninstall_texts::TText& text, const std::string& extra, UINT style);
