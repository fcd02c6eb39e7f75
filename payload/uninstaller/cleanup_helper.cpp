#include "payload/uninstaller/cleanup_helper.h"

#include "payload/uninstaller/registered_copy.h"

int RunCleanup(const TUninstallArgs& args, TCleanupActions& actions) {
  const std::string folder = FolderOfPath(args.Uninstaller);
  if (!IsAbsolutePath(args.Uninstaller) || folder.empty() || folder.size() == args.Uninstaller.size())
    return kCleanupRefused;
  if (!actions.IsOtherProcess(args.ParentProcess)) return kCleanupRefused;
  // The uninstaller opened its own file for the helper: the path it names is that file, and
  // not one that a made-up line chose.
  if (!actions.IsHandleOfFile(args.UninstallerFile, args.Uninstaller)) return kCleanupRefused;
  actions.CloseInheritedHandle(args.UninstallerFile);  // an open handle would keep the file
  if (!actions.WaitUntilEnded(args.ParentProcess)) return kCleanupRefused;

  if (!actions.DeleteWithRetry(args.Uninstaller)) {
    LeaveToRestart(args.Uninstaller, folder, actions);
    return kCleanupLeft;
  }
  actions.RemoveFolderIfEmpty(folder);
  return kCleanupDone;
}

void LeaveToRestart(const std::string& path, const std::string& folder, TCleanupActions& actions) {
  const std::string parked = actions.MoveToUniqueName(path);
  if (!parked.empty()) actions.DeleteAtRestart(parked);
  // Pending operations run in order: the folder goes after the file, and only if it is empty.
  actions.DeleteAtRestart(folder);
}
