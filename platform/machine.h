#pragma once
// The one seam through which the program reaches the operating system. The real backend
// lives in win32/, the simulated machine for tests in sim/.
#include "platform/dialogs.h"
#include "platform/files.h"
#include "platform/progress.h"
#include "platform/registry.h"
#include "platform/resources.h"
#include "platform/shell.h"
#include "platform/system.h"
#include "platform/version_info.h"

namespace platform {

struct Machine {
  Registry& Reg;
  Files& Fs;
  Dialogs& Boxes;
  System& Sys;
  Shell& Sh;
  Resources& Res;
  VersionInfo& Versions;
  Progress& Window;
};

// The machine the program runs on. Set once at start (or by a test) before any use.
Machine& Os();
void SetOs(Machine* machine);

}  // namespace platform
