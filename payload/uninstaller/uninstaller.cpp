#include "payload/uninstaller/uninstaller.h"

#include <windows.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "payload/common/ui_locale.h"
#include "payload/uninstaller/self_removal.h"
#include "payload/uninstaller/uninstall_plan.h"
#include "payload/uninstaller/uninstall_texts.h"
#include "setup/product.h"

namespace {

const char kShellFolders[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
const WORD kRussianLanguageId = 25;
const std::size_t kListedFailures = 12;  // more would not fit a message box

class TWin32Actions : public TUninstallActions {
 public:
  bool FileExists(const std::string& path) override {
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
  }
  bool RemoveFile(const std::string& path) override {
    if (::DeleteFileA(path.c_str())) return true;
    // A read-only file is the product's all the same.
    return GetLastError() == ERROR_ACCESS_DENIED && SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL) &&
           ::DeleteFileA(path.c_str());
  }
  bool RemoveEmptyFolder(const std::string& dir) override {
    std::string folder = dir;
    if (!folder.empty() && folder.back() == '\\') folder.pop_back();
    return ::RemoveDirectoryA(folder.c_str()) != FALSE;
  }
  bool DeleteMachineKey(const std::string& key) override {
    LONG status = RegDeleteKeyA(HKEY_LOCAL_MACHINE, key.c_str());
    return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND;
  }
};

// A value of the Shell Folders key under root, or the empty text when there is none.
std::string ShellFolder(HKEY root, const char* value) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(root, kShellFolders, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return std::string();
  char buffer[MAX_PATH * 2] = {};
  DWORD type = 0, size = sizeof(buffer) - 1;
  LONG status = RegQueryValueExA(key, value, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size);
  RegCloseKey(key);
  if (status != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) return std::string();
  std::string text(buffer);
  if (type == REG_EXPAND_SZ) {
    char expanded[MAX_PATH * 2] = {};
    DWORD length = ExpandEnvironmentStringsA(text.c_str(), expanded, sizeof(expanded));
    text = length > 0 && length <= sizeof(expanded) ? std::string(expanded) : std::string();
  }
  return text;
}

std::string OwnFolder() {
  char buffer[MAX_PATH * 2] = {};
  DWORD length = GetModuleFileNameA(nullptr, buffer, sizeof(buffer));
  std::string path(buffer, length < sizeof(buffer) ? length : 0);
  std::string::size_type slash = path.find_last_of('\\');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

int ShowBox(bool russian, const uninstall_texts::TText& text, const std::string& extra, UINT style) {
  if (russian)
    return MessageBoxExA(nullptr, (text.Ru + extra).c_str(), product::kShortNameRu, style, kRussianLanguageId);
  return MessageBoxA(nullptr, (text.En + extra).c_str(), product::kShortNameEn, style);
}

}  // namespace

int RunUninstaller() {
  std::vector<std::string> arguments;
  for (int i = 1; i < __argc; ++i) arguments.emplace_back(__argv[i]);
  const TUninstallArgs args = ParseUninstallArgs(arguments);
  if (args.Cleanup) return RunSelfRemovalHelper(args);

  const bool russian = IsRussianUiLocale(GetUserDefaultLCID());
  if (!args.Quiet &&
      ShowBox(russian, uninstall_texts::kQuestion, "", MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2 | MB_TASKMODAL) !=
          IDYES)
    return kUninstallDeclined;

  TUninstallFolders folders;
  folders.InstallDir = OwnFolder();
  folders.CommonProgramsDir = ShellFolder(HKEY_LOCAL_MACHINE, "Common Programs");
  folders.UserProgramsDir = ShellFolder(HKEY_CURRENT_USER, "Programs");
  folders.CommonDesktopDir = ShellFolder(HKEY_LOCAL_MACHINE, "Common Desktop");
  const TUninstallPlan plan = BuildUninstallPlan(folders);
  TWin32Actions actions;
  const TUninstallOutcome outcome = RunUninstallPlan(plan, actions);

  if (!outcome.Complete) {
    if (!args.Quiet) {
      std::string list;
      for (std::size_t i = 0; i < outcome.NotRemoved.size() && i < kListedFailures; ++i)
        list += "\r\n" + outcome.NotRemoved[i];
      if (outcome.NotRemoved.size() > kListedFailures) list += "\r\n...";
      const uninstall_texts::TText& hint = uninstall_texts::kRetryHint;
      ShowBox(russian, uninstall_texts::kNotRemoved, list + "\r\n\r\n" + (russian ? hint.Ru : hint.En),
              MB_OK | MB_ICONERROR | MB_TASKMODAL);
    }
    return kUninstallIncomplete;
  }
  if (!args.Quiet) ShowBox(russian, uninstall_texts::kRemoved, "", MB_OK | MB_ICONINFORMATION | MB_TASKMODAL);
  if (!StartSelfRemoval(plan.SelfPath, plan.InstallDir)) RemoveAtRestart(plan.SelfPath, plan.InstallDir);
  return kUninstallDone;
}
