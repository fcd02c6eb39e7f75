#pragma once
// ANSI texts for the few calls that take UTF-16 only.
#include <string>

namespace win32 {

// The text converted from the ANSI code page to UTF-16; empty when the conversion fails.
std::wstring WideFromAnsi(const std::string& text);

}  // namespace win32
