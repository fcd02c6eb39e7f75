// What the uninstaller removes, and in which order, decided from the machine's folders alone.
// No Windows header here: the native tests drive this code through a fake TUninstallActions.
// Paths are 8-bit ANSI texts; the Russian names are Windows-1251 bytes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The product's uninstall entry, under HKEY_LOCAL_MACHINE.
constexpr char kUninstallKeyPath[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tarvelon";

// The folders the uninstaller starts from. Each may end with a backslash or not; an empty one
// means the machine does not name that folder, and nothing is looked for below it.
struct TUninstallFolders {
  std::string InstallDir;         // the uninstaller's own folder
  std::string SelfPath;           // the uninstaller's own path, whatever its name
  std::string CommonProgramsDir;  // "Common Programs" of the machine's Shell Folders
  std::string UserProgramsDir;    // "Programs" of the user's Shell Folders
  std::string CommonDesktopDir;   // "Common Desktop" of the machine's Shell Folders
  // False when the machine has no uninstall entry for the product: then the groups, the links
  // and the entry are not this uninstaller's to judge, and only its own folder is cleared.
  bool Registered = true;
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
  std::string UninstallKey;  // under HKEY_LOCAL_MACHINE; empty when there is no entry to remove
  std::string InstallDir;    // ends with a backslash
  std::string SelfPath;      // the running uninstaller; removed last, by the self-removal
};

// Builds the plan. The product files never include the uninstaller's own path. Group folders are "Tarvelon" and "Тарвелон" under each Programs folder that
// is not empty (a Programs folder named twice, also differing in ASCII letter case or a final
// backslash, is listed once); each group holds the three entries the setup makes in the
// language of the group's name. Desktop links are looked for under the common Desktop only.
// Without registration the plan holds the product files alone: no group, link or key.
TUninstallPlan BuildUninstallPlan(const TUninstallFolders& folders);

// The machine operations the plan needs; the uninstaller implements them with Win32 calls.
class TUninstallActions {
 public:
  virtual ~TUninstallActions() = default;
  // True when the path names an existing file (a folder does not count).
  virtual bool FileExists(const std::string& path) = 0;
  // True when nothing holds the existing file open, so that it could be deleted now; the file
  // is left as it was.
  virtual bool CanRemove(const std::string& path) = 0;
  // Deletes one file; true when it was deleted.
  virtual bool RemoveFile(const std::string& path) = 0;
  // Removes the folder (given with its backslash) only when it is empty; false otherwise.
  virtual bool RemoveEmptyFolder(const std::string& dir) = 0;
  // Deletes the key under HKEY_LOCAL_MACHINE; true when it is gone, also when it never existed.
  virtual bool DeleteMachineKey(const std::string& key) = 0;
};

struct TUninstallOutcome {
  // What should have gone but stayed (file paths, or the uninstall key's path), in plan order.
  // When InUse is set: the product files that are held open; then nothing was removed at all.
  std::vector<std::string> NotRemoved;
  bool InUse = false;
  // True when everything of the plan but the uninstaller itself is gone; only then may the
  // uninstaller remove itself and the installation folder.
  bool Complete = false;
};

// Carries out the plan but its last step. First every existing product file is checked; when
// one is held open (the program still running), nothing at all is removed. Then the product
// files go; when one of them stays all the same, nothing else is touched, so that the
// shortcuts, the uninstall entry and the uninstaller are still there to try again. Otherwise
// the group entries, the groups that became empty and the Desktop links follow, each failure
// recorded while the rest goes on; the uninstall key goes last, and only when nothing else
// stayed, so that whatever is left is still listed. Files the plan does not name are never
// touched.
TUninstallOutcome RunUninstallPlan(const TUninstallPlan& plan, TUninstallActions& actions);

// The uninstaller's command line, without the program name.
//   /quiet (or /q; "-" instead of "/"; any letter case): no question and no message boxes.
//   /cleanup PROCESS UNINSTALLER IMAGE [COPY]: the self-removal helper (see self_removal.h);
//   PROCESS, IMAGE and COPY are decimal handle values inherited from the original uninstaller
//   process, UNINSTALLER is that process's own full path.
// Unknown arguments are ignored; a /cleanup with a missing or malformed value is not a cleanup.
struct TUninstallArgs {
  bool Quiet = false;
  bool Cleanup = false;
  std::uint64_t ParentProcess = 0;
  std::string Uninstaller;
  std::uint64_t UninstallerFile = 0;  // the uninstaller's file, opened by the uninstaller itself
  std::uint64_t TempFile = 0;         // the helper's own copy, deleted when the helper ends
};
TUninstallArgs ParseUninstallArgs(const std::vector<std::string>& args);
