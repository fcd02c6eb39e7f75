#pragma once
// The real progress window: a topmost window on a thread of its own.
#include "platform/progress.h"

namespace win32 {

platform::Progress& TheProgressWindow();

}  // namespace win32
