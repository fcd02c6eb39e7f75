#include "payload/uninstaller/self_removal.h"

#include <windows.h>

#include <cstdio>
#include <string>

namespace {

const char kUninstallerName[] = "Uninstall.exe";
const DWORD kParentWaitMs = 60000;
const int kDeleteTries = 40;  // with kRetryPauseMs: up to 10 s for the image to be released
const DWORD kRetryPauseMs = 250;

// Closes a kernel handle when it goes out of scope; null and INVALID_HANDLE_VALUE mean none.
class TOwnedHandle {
 public:
  explicit TOwnedHandle(HANDLE handle = nullptr) : Handle(handle == INVALID_HANDLE_VALUE ? nullptr : handle) {}
  ~TOwnedHandle() {
    if (Handle) CloseHandle(Handle);
  }
  TOwnedHandle(const TOwnedHandle&) = delete;
  TOwnedHandle& operator=(const TOwnedHandle&) = delete;
  HANDLE Get() const { return Handle; }
  HANDLE* Put() { return &Handle; }

 private:
  HANDLE Handle;
};

std::string WithoutBackslash(std::string path) {
  if (!path.empty() && path.back() == '\\') path.pop_back();
  return path;
}

std::string TempFolder() {
  char buffer[MAX_PATH + 1] = {};
  DWORD length = GetTempPathA(sizeof(buffer), buffer);
  return length > 0 && length < sizeof(buffer) ? std::string(buffer, length) : std::string();
}

std::string OwnPath() {
  char buffer[MAX_PATH * 2] = {};
  DWORD length = GetModuleFileNameA(nullptr, buffer, sizeof(buffer));
  return length > 0 && length < sizeof(buffer) ? std::string(buffer, length) : std::string();
}

bool DeleteWithRetry(const std::string& path) {
  for (int attempt = 0; attempt < kDeleteTries; ++attempt) {
    if (DeleteFileA(path.c_str()) || GetLastError() == ERROR_FILE_NOT_FOUND) return true;
    Sleep(kRetryPauseMs);
  }
  return false;
}

// Removes the folder when it is empty. A folder that still holds files is kept at once; a
// transient refusal (a process whose current folder it was, still ending) is retried.
bool RemoveFolderWithRetry(const std::string& folder) {
  for (int attempt = 0; attempt < kDeleteTries; ++attempt) {
    if (RemoveDirectoryA(folder.c_str())) return true;
    DWORD error = GetLastError();
    if (error == ERROR_DIR_NOT_EMPTY || error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND)
      return false;
    Sleep(kRetryPauseMs);
  }
  return false;
}

}  // namespace

bool StartSelfRemoval(const std::string& selfPath, const std::string& installDir) {
  const std::string temp = TempFolder();
  if (temp.empty()) return false;
  char name[64];
  std::snprintf(name, sizeof(name), "TarvelonUninstall-%lu.exe", GetCurrentProcessId());
  const std::string copy = temp + name;
  if (!CopyFileA(selfPath.c_str(), copy.c_str(), FALSE)) return false;

  SECURITY_ATTRIBUTES inheritable = {sizeof(inheritable), nullptr, TRUE};
  // Deleted when its last handle closes: the helper's inherited one. When this open fails the
  // helper gets 0 and the copy is left to the restart deletion.
  TOwnedHandle copyHandle(CreateFileA(copy.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_DELETE, &inheritable,
                                      OPEN_EXISTING, FILE_FLAG_DELETE_ON_CLOSE, nullptr));
  TOwnedHandle self;
  if (!DuplicateHandle(GetCurrentProcess(), GetCurrentProcess(), GetCurrentProcess(), self.Put(), SYNCHRONIZE,
                       TRUE, 0)) {
    if (!copyHandle.Get()) DeleteFileA(copy.c_str());
    return false;
  }

  char handles[64];
  std::snprintf(handles, sizeof(handles), " %llu", static_cast<unsigned long long>(
                                                      reinterpret_cast<ULONG_PTR>(self.Get())));
  std::string command = "\"" + copy + "\" /cleanup" + handles + " \"" + WithoutBackslash(installDir) + "\"";
  std::snprintf(handles, sizeof(handles), " %llu",
                static_cast<unsigned long long>(reinterpret_cast<ULONG_PTR>(copyHandle.Get())));
  command += handles;

  STARTUPINFOA startup = {};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process = {};
  // The helper's current folder is the temporary one, so that it does not hold the folder it removes.
  if (!CreateProcessA(copy.c_str(), &command[0], nullptr, nullptr, TRUE, 0, nullptr, temp.c_str(), &startup,
                      &process)) {
    if (!copyHandle.Get()) DeleteFileA(copy.c_str());
    return false;  // closing copyHandle deletes the copy
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return true;
}

void RemoveAtRestart(const std::string& selfPath, const std::string& installDir) {
  MoveFileExA(selfPath.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
  // Pending operations run in order: the folder goes after the file, and only if it is empty.
  MoveFileExA(WithoutBackslash(installDir).c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
}

int RunSelfRemovalHelper(const TUninstallArgs& args) {
  HANDLE parent = reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(args.ParentProcess));
  // Without the handshake (a hand-made command line) nothing is deleted.
  if (WaitForSingleObject(parent, kParentWaitMs) == WAIT_FAILED) return 1;
  CloseHandle(parent);

  const std::string folder = WithoutBackslash(args.Folder);
  const std::string uninstaller = folder + "\\" + kUninstallerName;
  int result = 0;
  if (DeleteWithRetry(uninstaller)) {
    RemoveFolderWithRetry(folder);
  } else {
    RemoveAtRestart(uninstaller, folder);
    result = 1;
  }
  // The copy should vanish with the helper's inherited handle; a restart deletes it otherwise.
  // A restart entry for a file that is gone by then is skipped harmlessly.
  const std::string self = OwnPath();
  if (!self.empty()) MoveFileExA(self.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
  return result;
}
