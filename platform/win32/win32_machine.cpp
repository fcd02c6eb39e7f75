#include "platform/win32/win32_machine.h"

#include "platform/win32/progress_window.h"
#include "platform/win32/win32_dialogs.h"
#include "platform/win32/win32_files.h"
#include "platform/win32/win32_registry.h"
#include "platform/win32/win32_resources.h"
#include "platform/win32/win32_shell.h"
#include "platform/win32/win32_system.h"
#include "platform/win32/win32_version_info.h"

namespace win32 {

platform::Machine& TheMachine() {
  static Win32Registry registry;
  static Win32Files files;
  static Win32Dialogs dialogs;
  static Win32System system;
  static Win32Shell shell;
  static Win32Resources resources;
  static Win32VersionInfo versions;
  static platform::Machine machine{registry, files,     dialogs,  system,
                                   shell,    resources, versions, TheProgressWindow()};
  return machine;
}

}  // namespace win32
