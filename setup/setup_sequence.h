#pragma once
// The run of the setup program from process start to exit code.

// True when this is the only running setup; false after telling the user another one runs.
bool CheckSingleInstance();

// Guard, product definition, folder discovery, the confirmation question and the install
// transaction. True only when the installation went through.
bool RunSetup();

// Starts the installed program from the installation folder without waiting for it.
void LaunchProgram();

// Closes this process's single-instance marker, as the end of the process does. The program
// never calls it; tests do, where their simulated process ends.
void ReleaseInstanceMarker();

// The whole process: start-up, COM, RunSetup, LaunchProgram, end steps. Returns the exit
// code: 0 on every path the run takes itself, 1 after the last-chance report of an error
// that no step caught.
int RunProgram();
