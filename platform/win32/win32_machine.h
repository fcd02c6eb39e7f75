#pragma once
// The real machine: every part of the seam backed by the Windows API.
#include "platform/machine.h"

namespace win32 {

// One instance for the whole process, created at first use; hand it to platform::SetOs.
platform::Machine& TheMachine();

}  // namespace win32
