#pragma once
// The last-chance report of a failure that no step handles and that is no C++ exception the
// program catches: a structured exception (access violation, stack overflow, in-page error of
// a setup run from a network or removable drive) on any thread, or std::terminate. The user
// sees one task-modal box with the error icon, and the process ends with exit code 1.
#include <string>

namespace win32 {

// Installs the process-wide filter and starts the thread that shows the box. The box shows
// `caption` and `text`, then the kind of failure and where it happened; both are copied (at
// most 127 and 255 bytes). Call once, first thing at start-up. False when the reporting
// thread cannot be had; the system's own handling then stays in place.
bool InstallLastChanceReport(const std::string& caption, const std::string& text);

}  // namespace win32
