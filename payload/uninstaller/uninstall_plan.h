// What the uninstaller removes, and in which order, decided from the machine's folders alone.
// No Windows header here: the native tests drive this code through a fake TUninstallActions.
// Paths are 8-bit ANSI texts; the Russian names are Windows-1251 bytes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The folders the uninstaller starts from. Each may end with a backslash or not; an empty one
// means the machine does not name that folder, and nothing is looked for below it.
struct TUninstallFolders {
  std::string InstallDir;         // the uninstaller's own folder
  std::string CommonProgramsDir;  // "Common Programs" of the machine's Shell Folders
  std::string UserProgramsDir;    // "Programs" of the user's Shell Folders
  std::string CommonDesktopDir;   // "Common Desktop" of the machine's Shell Folders
};

// One Start-menu group: its entries are deleted, then the folder itself when nothing else is left.
struct TGroupCleanup {
  std::string Dir;                   // ends with a backslash
  std::vector<std::string> Entries;  // full paths
};

struct TUninstallPlan {
  std::vector<std::string> ProductFiles;  // installed files and their "<name>0" leftovers
  std::vector<TGroupCleanup> Groups;
  std::vector<std::string> DesktopLinks;
  std::string UninstallKey;  // under HKEY_LOCAL_MACHINE
  std::string InstallDir;    // ends with a backslash
  std::string SelfPath;      // InstallDir + "Uninstall.exe"; removed last, by the self-removal
};

// Builds the plan. Group folders are "Tarvelon" and "Тарвелон" under each Programs folder that
// is not empty (a Programs folder named twice, also differing in ASCII letter case or a final
// backslash, is listed once); each group holds the three entries the setup makes in the
// language of the group's name. Desktop links are looked for under the common Desktop only.
TUninstallPlan BuildUninstallPlan(const TUninstallFolders& folders);

// The machine operations the plan needs; the uninstaller implements them with Win32 calls.
class TUninstallActions {
 public:
  virtual ~TUninstallActions() = default;
  // True when the path names an existing file (a folder does not count).
  virtual bool FileExists(const std::string& path) = 0;
  // Deletes one file; true when it was deleted.
  virtual bool RemoveFile(const std::string& path) = 0;
  // Removes the folder (given with its backslash) only when it is empty; false otherwise.
  virtual bool RemoveEmptyFolder(const std::string& dir) = 0;
  // Deletes the key under HKEY_LOCAL_MACHINE; true when it is gone, also when it never existed.
  virtual bool DeleteMachineKey(const std::string& key) = 0;
};

struct TUninstallOutcome {
  // What should have gone but stayed (file paths, or the uninstall key's path), in plan order.
  std::vector<std::string> NotRemoved;
  // True when everything of the plan but the uninstaller itself is gone; only then may the
  // uninstaller remove itself and the installation folder.
  bool Complete = false;
};

// Carries out the plan but its last step. The product files go first; when one of them stays
// (a program still running), nothing else is touched, so that the shortcuts, the uninstall
// entry and the uninstaller are still there to try again. Otherwise the group entries, the
// groups that became empty, the Desktop links and the uninstall key follow; a failure there is
// recorded and the rest still goes on. Files the plan does not name are never touched.
TUninstallOutcome RunUninstallPlan(const TUninstallPlan& plan, TUninstallActions& actions);

// The uninstaller's command line, without the program name.
//   /quiet (or /q; "-" instead of "/"; any letter case): no question and no message boxes.
//   /cleanup PROCESS FOLDER [FILE]: the self-removal helper (see self_removal.h); PROCESS and
//   FILE are decimal handle values inherited from the original uninstaller process.
// Unknown arguments are ignored; a /cleanup with a missing or malformed value is not a cleanup.
struct TUninstallArgs {
  bool Quiet = false;
  bool Cleanup = false;
  std::uint64_t ParentProcess = 0;
  std::uint64_t TempFile = 0;
  std::string Folder;
};
TUninstallArgs ParseUninstallArgs(const std::vector<std::string>& args);
