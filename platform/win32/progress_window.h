#pragma once
// The real progress window: a topmost window on a thread of its own.
#include <functional>
#include <memory>

#include "platform/progress.h"

namespace win32 {

// Runs `body` on a new thread and returns without waiting for it. May throw
// (std::runtime_error when the system refuses a thread).
using ThreadStart = std::function<void(std::function<void()> body)>;

platform::Progress& TheProgressWindow();

// Another way into the process's one window, whose thread `start` starts: tests refuse the
// start with it. The window's state stays module-wide, shared with TheProgressWindow().
std::unique_ptr<platform::Progress> MakeProgressWindow(ThreadStart start);

}  // namespace win32
