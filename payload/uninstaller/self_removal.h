// Removal of the running uninstaller and of its folder, which Windows does not allow while the
// program's image is mapped.
//
// The uninstaller copies itself to the temporary folder, opens that copy with
// FILE_FLAG_DELETE_ON_CLOSE through an inheritable handle, and starts it as a helper with
// "/cleanup PROCESS FOLDER FILE", passing an inheritable handle of its own process and the copy's
// handle, then exits. The helper waits for that process to end, deletes FOLDER\Uninstall.exe
// (retrying while the image is still held) and then FOLDER if it is empty. When the helper ends,
// its inherited handle is the last one open on the copy, so the copy is deleted. As a safety net
// the helper also registers its copy for deletion at the next restart.
#pragma once

#include <string>

#include "payload/uninstaller/uninstall_plan.h"

// Starts the helper for the uninstaller at selfPath in installDir. True when the helper runs;
// the caller should then exit promptly. False when it could not be started; nothing was changed
// but a temporary copy that is already deleted again.
bool StartSelfRemoval(const std::string& selfPath, const std::string& installDir);

// The fallback when no helper can run: the uninstaller and then its folder (if empty by then)
// are removed at the next restart. Needs administrator rights; failures are ignored.
void RemoveAtRestart(const std::string& selfPath, const std::string& installDir);

// The helper's body for a parsed "/cleanup" command line; returns the helper's exit code:
// 0 when the uninstaller is gone, 1 otherwise (then it is left to a restart).
int RunSelfRemovalHelper(const TUninstallArgs& args);
