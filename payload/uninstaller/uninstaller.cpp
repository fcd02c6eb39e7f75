#include "payload/uninstaller/uninstaller.h"

#include "platform/win32/windows_api.h"

#include <cstdlib>
#include <string>
#include <vector>

#include "payload/uninstaller/actions_without_links.h"
#include "payload/uninstaller/own_module.h"
#include "payload/uninstaller/registered_copy.h"
#include "payload/uninstaller/self_removal.h"
#include "payload/uninstaller/uninstall_box.h"
#include "payload/uninstaller/uninstall_plan.h"
#include "platform/win32/win32_files.h"

namespace {

const char kShellFolders[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
const char kSingleInstanceMutex[] = "TarvelonUninstaller";
const std::size_t kListedFailures = 12;  // more would not fit a message box

class TWin32Actions : public TUninstallActions {
 public:
  bool FileExists(const std::string& path) override {
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
  }
  // Write access fails for an executable that is running (its image is mapped), which delete
  // access alone may not; a read-only file, which refuses write access, is tried for delete.
  bool CanRemove(const std::string& path) override {
    HANDLE file = CreateFileA(path.c_str(), DELETE | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE && GetLastError() == ERROR_ACCESS_DENIED &&
        (GetFileAttributesA(path.c_str()) & FILE_ATTRIBUTE_READONLY))
      file = CreateFileA(path.c_str(), DELETE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return GetLastError() == ERROR_FILE_NOT_FOUND;
    CloseHandle(file);
    return true;
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

// The entry as it is: a key that cannot be opened for another reason than its absence counts
// as present but unreadable, so that a doubt removes nothing.
TUninstallEntry ReadUninstallEntry() {
  TUninstallEntry entry;
  HKEY key = nullptr;
  const LONG opened = RegOpenKeyExA(HKEY_LOCAL_MACHINE, kUninstallKeyPath, 0, KEY_QUERY_VALUE, &key);
  entry.KeyPresent = opened != ERROR_FILE_NOT_FOUND;
  if (opened != ERROR_SUCCESS) return entry;
  DWORD type = 0, size = 0;
  LONG status = RegQueryValueExA(key, "UninstallString", nullptr, &type, nullptr, &size);
  if (status == ERROR_SUCCESS) {
    std::vector<char> data(size + 1, '\0');
    status = RegQueryValueExA(key, "UninstallString", nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &size);
    entry.ValuePresent = status == ERROR_SUCCESS;
    entry.IsText = entry.ValuePresent && (type == REG_SZ || type == REG_EXPAND_SZ);
    if (entry.IsText) entry.Text = std::string(data.data());  // up to the first NUL
  } else {
    entry.ValuePresent = status != ERROR_FILE_NOT_FOUND;  // present, but unreadable
  }
  RegCloseKey(key);
  return entry;
}

void ShowRefusal(TRegistration registration, const TUninstallEntry& entry) {
  const UINT style = MB_OK | MB_ICONERROR | MB_TASKMODAL;
  switch (registration) {
    case TRegistration::OtherFolder:
      ShowUninstallBox(uninstall_texts::kOtherCopy, "\r\n" + FolderOfUninstallString(entry.Text), style);
      break;
    case TRegistration::EntryDamaged:
      ShowUninstallBox(uninstall_texts::kEntryDamaged, "", style);
      break;
    default:
      ShowUninstallBox(uninstall_texts::kOwnPathUnknown, "", style);
      break;
  }
}

void ShowNotRemoved(const TUninstallOutcome& outcome) {
  const UINT style = MB_OK | MB_ICONERROR | MB_TASKMODAL;
  if (outcome.InUse) {
    ShowUninstallBox(uninstall_texts::kProgramRunning, "", style);
    return;
  }
  std::string list;
  for (std::size_t i = 0; i < outcome.NotRemoved.size() && i < kListedFailures; ++i)
    list += "\r\n" + outcome.NotRemoved[i];
  if (outcome.NotRemoved.size() > kListedFailures) list += "\r\n...";
  ShowUninstallBox(uninstall_texts::kNotRemoved, list + "\r\n\r\n" + InUiLanguage(uninstall_texts::kRetryHint),
                   style);
}

}  // namespace

int RunUninstaller() {
  std::vector<std::string> arguments;
  for (int i = 1; i < __argc; ++i) arguments.emplace_back(__argv[i]);
  const TUninstallArgs args = ParseUninstallArgs(arguments);
  if (args.Cleanup) return RunSelfRemovalHelper(args);

  // Held until the process ends: a second uninstaller would race the first one's deletions.
  SetLastError(ERROR_SUCCESS);
  CreateMutexA(nullptr, FALSE, kSingleInstanceMutex);
  if (GetLastError() == ERROR_ALREADY_EXISTS) {
    if (!args.Quiet) ShowUninstallBox(uninstall_texts::kAlreadyRunning, "", MB_OK | MB_ICONERROR | MB_TASKMODAL);
    return kUninstallRefused;
  }

  const std::string selfPath = OwnModulePath();
  const TUninstallEntry entry = ReadUninstallEntry();
  const TRegistration registration = CheckRegistration(selfPath, entry);
  if (registration != TRegistration::Registered && registration != TRegistration::Unregistered) {
    if (!args.Quiet) ShowRefusal(registration, entry);
    return kUninstallRefused;
  }

  if (!args.Quiet && ShowUninstallBox(uninstall_texts::kQuestion, "",
                                      MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2 | MB_TASKMODAL) != IDYES)
    return kUninstallDeclined;

  TUninstallFolders folders;
  folders.SelfPath = selfPath;
  folders.InstallDir = FolderOfPath(selfPath);
  folders.Registered = registration == TRegistration::Registered;
  folders.CommonProgramsDir = ShellFolder(HKEY_LOCAL_MACHINE, "Common Programs");
  folders.UserProgramsDir = ShellFolder(HKEY_CURRENT_USER, "Programs");
  folders.CommonDesktopDir = ShellFolder(HKEY_LOCAL_MACHINE, "Common Desktop");
  const TUninstallPlan plan = BuildUninstallPlan(folders);
  TWin32Actions win32Actions;
  win32::Win32Files files;
  // The user owns his Programs folder and may have put links there; the common folders go the
  // same way.
  TActionsWithoutLinks actions(win32Actions, files,
                               {folders.UserProgramsDir, folders.CommonProgramsDir, folders.CommonDesktopDir});
  const TUninstallOutcome outcome = RunUninstallPlan(plan, actions);

  if (!outcome.Complete) {
    if (!args.Quiet) ShowNotRemoved(outcome);
    return kUninstallIncomplete;
  }
  if (!args.Quiet) ShowUninstallBox(uninstall_texts::kRemoved, "", MB_OK | MB_ICONINFORMATION | MB_TASKMODAL);
  if (!StartSelfRemoval(plan.SelfPath, args.Quiet)) RemoveAtRestart(plan.SelfPath, plan.InstallDir);
  return kUninstallDone;
}
