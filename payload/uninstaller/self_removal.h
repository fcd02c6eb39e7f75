// Removal of the running uninstaller and of its folder, which Windows does not allow while the
// program's image is mapped.
//
// The uninstaller copies itself into a new folder of its own, with a name nobody can guess,
// that on NT only administrators can write (see helper_folder.h); opens that copy with
// FILE_FLAG_DELETE_ON_CLOSE through an inheritable handle; and starts it as a helper with
// "/cleanup PROCESS UNINSTALLER IMAGE COPY", passing inheritable handles of its own process
// and of its own file, and no other handle where the system allows it, then exits. The helper (see cleanup_helper.h) waits for that process to
// end, deletes UNINSTALLER (retrying while the image is still held) and then its folder if it
// is empty. Its last act moves its copy, through the inherited handle, out of its private
// folder and removes that folder (ClearOwnCopy); when the helper ends, that handle is the last
// one open on the copy, so the copy is deleted.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "payload/uninstaller/cleanup_helper.h"
#include "payload/uninstaller/exact_inheritance.h"
#include "payload/uninstaller/helper_folder.h"
#include "payload/uninstaller/uninstall_plan.h"

// The system calls that make and start the helper; a test puts its own in, to watch them.
struct THelperCalls {
  TCreateDirectoryFn MakeFolder = ::CreateDirectoryA;
  BOOL(WINAPI* Copy)(LPCSTR, LPCSTR, BOOL) = ::CopyFileA;
  TCreateProcessFn Start = ::CreateProcessA;
  // How the helper is kept from inheriting anything but its own handles (see exact_inheritance.h).
  THandleListCalls HandleList = SystemHandleListCalls();
};

// Starts the helper for the uninstaller at selfPath (its own module path, whatever its name).
// True when the helper runs; the caller should then exit promptly. False when it could not be
// started; then nothing was changed (the copy and its folder are gone again). With quiet the
// helper shows no box either.
bool StartSelfRemoval(const std::string& selfPath, bool quiet, const THelperCalls& calls = THelperCalls());

// The fallback when no helper can run: the file at path is first moved to a unique name
// beside it, so that a later installation's file of the same name is never the one deleted;
// that name and then the folder (if empty by then) are removed at the next restart. Needs
// administrator rights; failures are ignored, and a file that cannot be moved is kept.
void RemoveAtRestart(const std::string& path, const std::string& folder);

// The helper's body for a parsed "/cleanup" command line; returns its exit code (see
// cleanup_helper.h).
int RunSelfRemovalHelper(const TUninstallArgs& args);

// The helper's actions on the running system, as RunSelfRemovalHelper takes them.
std::unique_ptr<TCleanupActions> MakeSystemCleanupActions();
