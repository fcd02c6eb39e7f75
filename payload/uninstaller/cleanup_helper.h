// The self-removal helper's decisions, apart from the Windows calls that carry them out. A
// "/cleanup" line can be typed by anyone; the helper deletes only the uninstaller that started
// it, and only after that process has really ended.
// No Windows header here: the native tests drive this through a fake TCleanupActions.
#pragma once

#include <cstdint>
#include <string>

#include "payload/uninstaller/uninstall_plan.h"

class TCleanupActions {
 public:
  virtual ~TCleanupActions() = default;
  // True when the handle is a process handle, of a process other than the helper's own.
  virtual bool IsOtherProcess(std::uint64_t process) = 0;
  // True when the handle is an open file handle of the very file at path.
  virtual bool IsHandleOfFile(std::uint64_t file, const std::string& path) = 0;
  virtual void CloseInheritedHandle(std::uint64_t handle) = 0;
  // Waits, bounded, for the process; true only when it has ended (not on a time-out).
  virtual bool WaitUntilEnded(std::uint64_t process) = 0;
  // Deletes the file, retrying while its image is still held; true when it is gone.
  virtual bool DeleteWithRetry(const std::string& path) = 0;
  // Removes the folder (given with its backslash) when it is empty.
  virtual void RemoveFolderIfEmpty(const std::string& folder) = 0;
  // Renames the file to a name beside it that nothing else has; returns the new path, or the
  // empty text when it could not be moved.
  virtual std::string MoveToUniqueName(const std::string& path) = 0;
  // Renames the file open through the handle to newPath, through that very handle, never
  // replacing a file there; true when it moved. Its deletion at close goes with it.
  virtual bool MoveOpenFile(std::uint64_t file, const std::string& newPath) = 0;
  // Has the file, or the folder if it is empty by then, deleted at the next restart.
  virtual void DeleteAtRestart(const std::string& path) = 0;
};

// Exit codes of the helper.
enum : int {
  kCleanupDone = 0,     // the uninstaller is gone, its folder too when it was empty
  kCleanupLeft = 1,     // the uninstaller is left to the next restart
  kCleanupRefused = 2,  // the line did not come from an uninstaller that ended: nothing deleted
};

// Leaves the uninstaller at path and then its folder to the next restart. The file is first
// moved to a unique name, so that a later installation's file at the same path is never the
// one deleted; a file that cannot be moved is kept rather than scheduled by its own name.
void LeaveToRestart(const std::string& path, const std::string& folder, TCleanupActions& actions);

// The uninstaller's path must be absolute, the process handle another process's, the file
// handle one of that very path; the file is deleted only once the process has ended.
int RunCleanup(const TUninstallArgs& args, TCleanupActions& actions);

// The folder under which the uninstaller makes the helper's private folder, with its final
// backslash. On the NT family the Windows folder's Temp, where a standard user can neither
// list nor write; never the user's temporary folder there: its owner, the user, could rename
// the new folder away and put one of his own in its place between two calls. On the 9x family,
// which has neither ACLs nor elevation, the user's temporary folder. Empty when the folder to
// use is not known: then no helper is made.
std::string HelperFolderParent(bool ntFamily, const std::string& windowsFolder, const std::string& userTemp);

// The helper's last act, for its own copy at copyPath, which the inherited handle `copy` holds
// open to delete it at close. The copy moves, through that handle, out of its private folder
// to the folder's name + ".tmp" beside it; the folder, empty then, goes at once, and the copy
// when the helper ends (or, should it outlive its handle, at the next restart). A copy that
// cannot be moved is left to the next restart with its folder. Nothing is done when the handle
// is not one of the file at copyPath. After this, the helper must load nothing: its folder
// is gone, and its name may be taken by anybody who can create folders beside it.
void ClearOwnCopy(const std::string& copyPath, std::uint64_t copy, TCleanupActions& actions);
