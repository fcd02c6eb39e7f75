#include "setup/folders.h"

#include "platform/machine.h"
#include "platform/win_constants.h"
#include "setup/setup_state.h"
#include "ui/message_boxes.h"

namespace {

const std::string kCurrentVersionKey = "Software\\Microsoft\\Windows\\CurrentVersion\\";
const std::string kShellFoldersKey = kCurrentVersionKey + "Explorer\\Shell Folders";

// Closes the open key on every path out of a scope, an error passing through included.
class TKeyCloser {
 public:
  explicit TKeyCloser(TRegistry& registry) : Registry(registry) {}
  ~TKeyCloser() { Registry.CloseKey(); }
  TKeyCloser(const TKeyCloser&) = delete;
  TKeyCloser& operator=(const TKeyCloser&) = delete;

 private:
  TRegistry& Registry;
};

std::string ReadIfPresent(TRegistry& registry, const std::string& name) {
  return registry.ValueExists(name) ? registry.ReadString(name) : std::string();
}

// Reads the system folders; returns the Program Files folder. Raises on a registry error.
std::string ReadSystemFolders() {
  TSetupState& s = SetupState;
  TRegistry& reg = *s.Registry;

  reg.SetRootKey(platform::RootKey::LocalMachine);
  reg.OpenKey(kCurrentVersionKey, false);
  std::string programFiles = ReadIfPresent(reg, "ProgramFilesDir");
  AddBackslash(programFiles);
  reg.CloseKey();
  s.ProgramFilesKnown = !programFiles.empty();

  reg.SetRootKey(platform::RootKey::LocalMachine);
  reg.OpenKey(kShellFoldersKey, false);
  s.CommonDesktopDir = ReadIfPresent(reg, "Common Desktop");
  AddBackslash(s.CommonDesktopDir);
  if (platform::Os().Sys.PlatformId() == win::kPlatformWin32Nt) {
    if (reg.ValueExists("Common Programs")) s.CommonProgramsDir = reg.ReadString("Common Programs");
    AddBackslash(s.CommonProgramsDir);
  }
  reg.CloseKey();

  reg.SetRootKey(platform::RootKey::CurrentUser);
  reg.OpenKey(kShellFoldersKey, false);
  if (reg.ValueExists("Programs")) s.UserProgramsDir = reg.ReadString("Programs");
  AddBackslash(s.UserProgramsDir);
  reg.CloseKey();
  return programFiles;
}

void ComposeGroups() {
  TSetupState& s = SetupState;
  if (s.CommonProgramsDir.size() < 2) s.CommonProgramsDir = s.UserProgramsDir;
  const std::string& own = s.UiRussian ? s.ShortNameRu : s.ShortNameEn;
  const std::string& other = s.UiRussian ? s.ShortNameEn : s.ShortNameRu;
  s.GroupDir = s.CommonProgramsDir + own + "\\";
  s.OtherGroupDir = s.CommonProgramsDir + other + "\\";
  s.UserGroupDirRu = s.UserProgramsDir + s.ShortNameRu + "\\";
  s.UserGroupDirEn = s.UserProgramsDir + s.ShortNameEn + "\\";
}

// An earlier installation wins: its folder replaces the composed one.
void FindEarlierInstallation() {
  TSetupState& s = SetupState;
  TRegistry& reg = *s.Registry;
  reg.SetRootKey(platform::RootKey::LocalMachine);
  reg.OpenKey(s.UninstallRoot + s.ProductId, false);
  TKeyCloser closer(reg);
  if (!reg.ValueExists("UninstallString")) return;
  const std::string folder = FolderOfUninstallString(reg.ReadString("UninstallString"));
  // A value without a folder part, or with one that names no drive or server, keeps the
  // folder composed from Program Files: a relative folder would land wherever the process
  // happens to stand.
  if (IsAbsolutePath(folder)) s.InstallDir = folder;
}

}  // namespace

void AddBackslash(std::string& Path) {
  if (!Path.empty() && Path.back() != '\\') Path += '\\';
}

std::string StripBackslash(const std::string& Path) {
  if (!Path.empty() && Path.back() == '\\') return Path.substr(0, Path.size() - 1);
  return Path;
}

bool DetectFolders() {
  TSetupState& s = SetupState;
  s.CommonProgramsDir.clear();
  std::string programFiles;
  try {
    programFiles = ReadSystemFolders();
  } catch (...) {
    ShowErrorBox("No access to system registry", "Нет доступа к системному реестру");
    return false;
  }
  s.UninstallRoot = kCurrentVersionKey + "Uninstall\\";
  ComposeGroups();
  s.InstallDir = programFiles + s.ProductId;
  FindEarlierInstallation();
  AddBackslash(s.InstallDir);
  return true;
}
