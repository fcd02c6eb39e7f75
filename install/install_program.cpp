#include "install/install_program.h"

#include <stdexcept>

#include "install/install_files.h"
#include "install/install_texts.h"
#include "platform/machine.h"
#include "setup/folders.h"
#include "setup/setup_state.h"
#include "shell/shortcuts.h"
#include "shell/uninstall_entry.h"
#include "ui/message_boxes.h"

namespace {

struct ENoProgramFiles : std::runtime_error {
  ENoProgramFiles() : std::runtime_error("the registry names no Program Files folder") {}
};

// The uninstall key is closed on every path out of the transaction, not only after the
// shortcuts: nothing later needs it open.
class TUninstallKeyCloser {
 public:
  ~TUninstallKeyCloser() {
    if (SetupState.Registry) SetupState.Registry->CloseKey();
  }
};

void CreateFolder(const std::string& folder) {
  // A folder composed from a base the registry did not name has no place to go.
  if (IsAbsolutePath(folder)) platform::Os().Fs.CreateDirectory(folder);
}

}  // namespace

bool InstallProgram(bool DesktopShortcut) {
  TSetupState& s = SetupState;
  const bool ru = s.UiRussian;
  const std::string linkName = s.ShortName();
  const std::string description = s.LongName();
  TUninstallKeyCloser closeKeyOnEveryPath;
  try {
    if (!s.ProgramFilesKnown) throw ENoProgramFiles();
    WriteUninstallEntry();

    DeleteFolderTree(s.UserGroupDirEn);
    DeleteFolderTree(s.UserGroupDirRu);
    DeleteFolderTree(s.OtherGroupDir);
    DeleteFolderTree(s.GroupDir);
    CreateFolder(s.GroupDir);
    CreateFolder(s.InstallDir);

    if (!InstallFiles()) return false;

    const std::string program = s.InstallDir + s.ProductId + ".exe";
    CreateShortcut(program, s.GroupDir + linkName + ".lnk", "", description, 0);
    if (DesktopShortcut)
      CreateShortcut(program, s.CommonDesktopDir + linkName + ".lnk", "", description, 0);
    CreateShortcut(s.InstallDir + "Uninstall.exe",
                   s.GroupDir + (ru ? install_texts::kUninstallLinkRu
                                    : install_texts::kUninstallLinkEn) + ".lnk",
                   "", description, 0);
    s.Registry->CloseKey();
    CreateWebsiteShortcut(
        s.GroupDir + (ru ? install_texts::kWebsiteLinkRu : install_texts::kWebsiteLinkEn) + ".url",
        s.WebsiteUrl);
    return true;
  } catch (...) {
    ShowErrorBox(install_texts::kNoRightsEn, install_texts::kNoRightsRu);
    return false;
  }
}
