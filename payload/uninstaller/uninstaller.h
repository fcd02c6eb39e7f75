// Uninstall.exe: removes Tarvelon Workbench from the machine.
#pragma once

// Exit codes of the uninstaller.
enum : int {
  kUninstallDone = 0,         // everything the setup installed is gone or on its way out
  kUninstallIncomplete = 1,   // something stayed (see TUninstallOutcome); the uninstaller is kept
  kUninstallDeclined = 2,     // the user answered No
  // Nothing was removed: this copy is not the registered one, its own path or the entry is
  // unusable, or another uninstaller runs.
  kUninstallRefused = 2,
};

// Runs the uninstaller for the process's command line and returns its exit code. With /quiet
// no box is shown; otherwise the user is asked first, in the UI language, and told the result.
int RunUninstaller();
