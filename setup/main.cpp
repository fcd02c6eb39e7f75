// The setup executable's entry: sets up the real machine, runs the program and exits with
// its code. Command-line arguments are ignored.
#include "platform/win32/windows_api.h"

#include "platform/machine.h"
#include "platform/win32/last_chance_report.h"
#include "platform/win32/system_library.h"
#include "platform/win32/win32_machine.h"
#include "setup/setup_sequence.h"
#include "setup/setup_texts.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  win32::RestrictDllSearchToSystemFolder();
  // C++ exceptions that no step catches end in RunProgram's report; this one takes the rest.
  win32::InstallLastChanceReport(setup_texts::kApplicationErrorCaption,
                                 setup_texts::kUnexpectedError);
  platform::SetOs(&win32::TheMachine());
  return RunProgram();
}
