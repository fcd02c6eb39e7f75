#include "payload/uninstaller/self_removal.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "payload/uninstaller/cleanup_helper.h"
#include "payload/uninstaller/helper_folder.h"
#include "payload/uninstaller/own_module.h"
#include "payload/uninstaller/registered_copy.h"
#include "payload/uninstaller/uninstall_box.h"
#include "platform/win32/owners.h"
#include "platform/win32/system_library.h"
#include "platform/win32/wide_text.h"

namespace {

const char kHelperName[] = "TarvelonUninstall.exe";
const DWORD kParentWaitMs = 60000;
const int kDeleteTries = 40;  // with kRetryPauseMs: up to 10 s for the image to be released
const DWORD kRetryPauseMs = 250;

std::string WithoutBackslash(std::string path) {
  if (!path.empty() && path.back() == '\\') path.pop_back();
  return path;
}

// Handle values come from a command line: one that does not fit a handle is no handle.
HANDLE ToHandle(std::uint64_t value) {
  const ULONG_PTR bits = static_cast<ULONG_PTR>(value);
  return bits == value ? reinterpret_cast<HANDLE>(bits) : nullptr;
}

std::string HandleText(HANDLE handle) {
  char text[32];
  std::snprintf(text, sizeof(text), "%llu", static_cast<unsigned long long>(reinterpret_cast<ULONG_PTR>(handle)));
  return text;
}

bool SameFileIdentity(HANDLE a, HANDLE b) {
  BY_HANDLE_FILE_INFORMATION first = {}, second = {};
  return GetFileInformationByHandle(a, &first) && GetFileInformationByHandle(b, &second) &&
         first.dwVolumeSerialNumber == second.dwVolumeSerialNumber && first.nFileIndexHigh == second.nFileIndexHigh &&
         first.nFileIndexLow == second.nFileIndexLow;
}

class TWin32Cleanup : public TCleanupActions {
 public:
  bool IsOtherProcess(std::uint64_t value) override {
    const HANDLE process = ToHandle(value);
    if (!process || process == GetCurrentProcess()) return false;  // the pseudo-handle -1
    DWORD code = 0;
    if (!GetExitCodeProcess(process, &code)) return false;  // a thread, a file, no handle at all
    using GetProcessIdFn = DWORD(WINAPI*)(HANDLE);
    const auto getProcessId = win32::LookUpFunction<GetProcessIdFn>("kernel32.dll", "GetProcessId");
    // Without GetProcessId (before XP SP1) a real handle of its own process is still refused:
    // that process never ends while the helper waits.
    if (!getProcessId) return true;
    const DWORD id = getProcessId(process);
    return id != 0 && id != GetCurrentProcessId();
  }
  bool IsHandleOfFile(std::uint64_t value, const std::string& path) override {
    const HANDLE file = ToHandle(value);
    if (!file || GetFileType(file) != FILE_TYPE_DISK) return false;
    win32::UniqueFile named(CreateFileA(path.c_str(), FILE_READ_ATTRIBUTES,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                        0, nullptr));
    return named && SameFileIdentity(file, named.get());
  }
  void CloseInheritedHandle(std::uint64_t value) override {
    if (HANDLE handle = ToHandle(value)) CloseHandle(handle);
  }
  bool WaitUntilEnded(std::uint64_t value) override {
    const HANDLE process = ToHandle(value);
    DWORD code = 0;
    return WaitForSingleObject(process, kParentWaitMs) == WAIT_OBJECT_0 && GetExitCodeProcess(process, &code) &&
           code != STILL_ACTIVE;
  }
  bool DeleteWithRetry(const std::string& path) override {
    for (int attempt = 0; attempt < kDeleteTries; ++attempt) {
      if (DeleteFileA(path.c_str()) || GetLastError() == ERROR_FILE_NOT_FOUND) return true;
      Sleep(kRetryPauseMs);
    }
    return false;
  }
  // A folder that still holds files is kept at once; a transient refusal (a process whose
  // current folder it was, still ending) is retried.
  void RemoveFolderIfEmpty(const std::string& folder) override {
    const std::string path = WithoutBackslash(folder);
    for (int attempt = 0; attempt < kDeleteTries; ++attempt) {
      if (RemoveDirectoryA(path.c_str())) return;
      const DWORD error = GetLastError();
      if (error == ERROR_DIR_NOT_EMPTY || error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return;
      Sleep(kRetryPauseMs);
    }
  }
  // SetFileInformationByHandle is looked up: before Vista the copy stays for the restart.
  bool MoveOpenFile(std::uint64_t value, const std::string& newPath) override {
    using SetInfoFn = BOOL(WINAPI*)(HANDLE, FILE_INFO_BY_HANDLE_CLASS, LPVOID, DWORD);
    const auto setInfo = win32::LookUpFunction<SetInfoFn>("kernel32.dll", "SetFileInformationByHandle");
    const std::wstring name = win32::WideFromAnsi(newPath);
    const HANDLE file = ToHandle(value);
    if (!setInfo || name.empty() || !file) return false;
    const DWORD nameBytes = static_cast<DWORD>(name.size() * sizeof(wchar_t));
    std::vector<unsigned char> buffer(sizeof(FILE_RENAME_INFO) + nameBytes);
    auto* rename = reinterpret_cast<FILE_RENAME_INFO*>(buffer.data());
    rename->ReplaceIfExists = FALSE;
    rename->RootDirectory = nullptr;
    rename->FileNameLength = nameBytes;
    std::copy(name.begin(), name.end(), rename->FileName);
    return setInfo(file, FileRenameInfo, rename, static_cast<DWORD>(buffer.size())) != FALSE;
  }
  std::string MoveToUniqueName(const std::string& path) override {
    std::string suffix;
    if (!RandomHex(suffix)) return {};
    const std::string parked = FolderOfPath(path) + "~uninstall-" + suffix + ".tmp";
    // No MOVEFILE_REPLACE_EXISTING: a file of that name is never replaced.
    return MoveFileExA(path.c_str(), parked.c_str(), 0) ? parked : std::string();
  }
  void DeleteAtRestart(const std::string& path) override {
    MoveFileExA(WithoutBackslash(path).c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
  }
};

}  // namespace

bool StartSelfRemoval(const std::string& selfPath, bool quiet, const THelperCalls& calls) {
  const std::string folder = NewHelperFolder(calls.MakeFolder);
  const std::string system = win32::SystemFolder();
  if (folder.empty()) return false;
  const std::string copy = folder + kHelperName;
  const auto giveUp = [&] {
    SetFileAttributesA(copy.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileA(copy.c_str());
    RemoveDirectoryA(WithoutBackslash(folder).c_str());
    return false;
  };
  // The folder is new and empty, and (on NT) only administrators can add anything to it: the
  // copy inherits that, and no DLL or ".local" folder can lie beside it when it starts.
  if (system.empty() || !calls.Copy(selfPath.c_str(), copy.c_str(), TRUE)) return giveUp();
  // The copy takes the attributes of the uninstaller, which may be read-only: then neither the
  // delete-on-close open below nor a restart entry could remove it, and its folder would stay.
  if (!SetFileAttributesA(copy.c_str(), FILE_ATTRIBUTE_NORMAL)) return giveUp();

  SECURITY_ATTRIBUTES inheritable = {sizeof(inheritable), nullptr, TRUE};
  {
    // Deleted when its last handle closes: the helper's inherited one.
    win32::UniqueFile copyHandle(CreateFileA(copy.c_str(), DELETE | FILE_READ_ATTRIBUTES,
                                             FILE_SHARE_READ | FILE_SHARE_DELETE, &inheritable, OPEN_EXISTING,
                                             FILE_FLAG_DELETE_ON_CLOSE, nullptr));
    // The helper checks its UNINSTALLER path against this handle of the uninstaller's own file.
    win32::UniqueFile selfFile(CreateFileA(selfPath.c_str(), FILE_READ_ATTRIBUTES,
                                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, &inheritable,
                                           OPEN_EXISTING, 0, nullptr));
    win32::UniqueHandle self;
    if (!copyHandle || !selfFile ||
        !DuplicateHandle(GetCurrentProcess(), GetCurrentProcess(), GetCurrentProcess(), self.put(),
                         SYNCHRONIZE | PROCESS_QUERY_INFORMATION, TRUE, 0))
      return giveUp();

    std::string command = "\"" + copy + "\" /cleanup " + HandleText(self.get()) + " \"" + selfPath + "\" " +
                          HandleText(selfFile.get()) + " " + HandleText(copyHandle.get());
    if (quiet) command += " /quiet";
    PROCESS_INFORMATION process = {};
    // The helper stands in the system folder: not in the folder it removes, and not in the
    // temporary one, where anybody could put a DLL for it to find.
    if (StartInheritingOnly(calls.Start, calls.HandleList, copy.c_str(), &command[0], system.c_str(),
                            {self.get(), selfFile.get(), copyHandle.get()}, process)) {
      CloseHandle(process.hThread);
      CloseHandle(process.hProcess);
      return true;
    }
  }
  // The copy went with its handle; the folder is empty again.
  return giveUp();
}

std::unique_ptr<TCleanupActions> MakeSystemCleanupActions() { return std::make_unique<TWin32Cleanup>(); }

void RemoveAtRestart(const std::string& path, const std::string& folder) {
  TWin32Cleanup actions;
  LeaveToRestart(path, folder, actions);
}

int RunSelfRemovalHelper(const TUninstallArgs& args) {
  TWin32Cleanup actions;
  const int result = RunCleanup(args, actions);
  const std::string self = OwnModulePath();
  if (result == kCleanupRefused) {
    if (!args.Quiet) ShowUninstallBox(uninstall_texts::kCleanupRefused, "", MB_OK | MB_ICONERROR | MB_TASKMODAL);
    return result;
  }
  // The last act: nothing may load after it.
  if (!self.empty()) ClearOwnCopy(self, args.TempFile, actions);
  return result;
}
