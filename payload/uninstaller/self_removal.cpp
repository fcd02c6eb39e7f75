#include "payload/uninstaller/self_removal.h"

#include <cstdio>
#include <string>

#include "payload/uninstaller/cleanup_helper.h"
#include "payload/uninstaller/own_module.h"
#include "payload/uninstaller/registered_copy.h"
#include "payload/uninstaller/uninstall_box.h"
#include "platform/win32/owners.h"
#include "platform/win32/system_library.h"

namespace {

const char kHelperName[] = "TarvelonUninstall.exe";
const DWORD kParentWaitMs = 60000;
const int kDeleteTries = 40;  // with kRetryPauseMs: up to 10 s for the image to be released
const DWORD kRetryPauseMs = 250;
const int kFolderTries = 4;

std::string WithoutBackslash(std::string path) {
  if (!path.empty() && path.back() == '\\') path.pop_back();
  return path;
}

std::string TempFolder() {
  char buffer[MAX_PATH + 1] = {};
  DWORD length = GetTempPathA(sizeof(buffer), buffer);
  return length > 0 && length < sizeof(buffer) ? std::string(buffer, length) : std::string();
}

// Hex digits of random bytes from RtlGenRandom, which advapi32 (imported already for the
// registry) exports as SystemFunction036 from XP on; looked up so that nothing new is imported.
// False when the system has no such source: then no name is made up at all.
bool RandomHex(std::string& text) {
  using GenRandomFn = BOOLEAN(WINAPI*)(PVOID, ULONG);
  const auto genRandom = win32::LookUpFunction<GenRandomFn>("advapi32.dll", "SystemFunction036");
  unsigned char bytes[8];
  if (!genRandom || !genRandom(bytes, sizeof(bytes))) return false;
  text.clear();
  for (unsigned char b : bytes) {
    char digits[3];
    std::snprintf(digits, sizeof(digits), "%02x", b);
    text += digits;
  }
  return true;
}

// A new folder under the temporary one, made now for the helper alone: nothing can have been
// put into it before, and its name cannot be guessed. Empty when none could be made.
std::string NewPrivateFolder() {
  const std::string temp = TempFolder();
  if (temp.empty()) return {};
  for (int attempt = 0; attempt < kFolderTries; ++attempt) {
    std::string name;
    if (!RandomHex(name)) return {};
    const std::string folder = temp + "tvl-" + name;
    if (CreateDirectoryA(folder.c_str(), nullptr)) return folder + "\\";
    if (GetLastError() != ERROR_ALREADY_EXISTS) return {};
  }
  return {};
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

bool StartSelfRemoval(const std::string& selfPath, bool quiet) {
  const std::string folder = NewPrivateFolder();
  const std::string system = win32::SystemFolder();
  if (folder.empty()) return false;
  const std::string copy = folder + kHelperName;
  const auto giveUp = [&] {
    DeleteFileA(copy.c_str());
    RemoveDirectoryA(WithoutBackslash(folder).c_str());
    return false;
  };
  if (system.empty() || !CopyFileA(selfPath.c_str(), copy.c_str(), TRUE)) return giveUp();

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
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    // The helper stands in the system folder: not in the folder it removes, and not in the
    // temporary one, where anybody could put a DLL for it to find.
    if (CreateProcessA(copy.c_str(), &command[0], nullptr, nullptr, TRUE, 0, nullptr, system.c_str(), &startup,
                       &process)) {
      CloseHandle(process.hThread);
      CloseHandle(process.hProcess);
      return true;
    }
  }
  // The copy went with its handle; the folder is empty again.
  return giveUp();
}

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
  // This is the copy that the uninstaller made (its inherited handle names this very file):
  // should it outlive its handle, it and its private folder go at the next restart. A restart
  // entry for a file that is gone by then is skipped harmlessly.
  if (!self.empty() && actions.IsHandleOfFile(args.TempFile, self)) {
    actions.DeleteAtRestart(self);
    actions.DeleteAtRestart(FolderOfPath(self));
  }
  return result;
}
