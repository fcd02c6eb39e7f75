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

std::string HelperFolderParent(bool ntFamily, const std::string& windowsFolder, const std::string& userTemp) {
  std::string parent = ntFamily ? windowsFolder : userTemp;
  if (parent.empty()) return {};
  if (parent.back() != '\\') parent += '\\';
  return ntFamily ? parent + "Temp\\" : parent;
}

void ClearOwnCopy(const std::string& copyPath, std::uint64_t copy, TCleanupActions& actions) {
  const std::string folder = FolderOfPath(copyPath);
  if (folder.size() < 2 || !actions.IsHandleOfFile(copy, copyPath)) return;
  const std::string parked = folder.substr(0, folder.size() - 1) + ".tmp";
  if (!actions.MoveOpenFile(copy, parked)) {
    // A restart entry for a file that is gone by then is skipped harmlessly.
    actions.DeleteAtRestart(copyPath);
    actions.DeleteAtRestart(folder);
    return;
  }
  actions.RemoveFolderIfEmpty(folder);
  actions.DeleteAtRestart(parked);
}

void LeaveToRestart(const std::string& path, const std::string& folder, TCleanupActions& actions) {
  const std::string parked = actions.MoveToUniqueName(path);
  if (!parked.empty()) actions.DeleteAtRestart(parked);
  // Pending operations run in order: the folder goes after the file, and only if it is empty.
  actions.DeleteAtRestart(folder);
}
