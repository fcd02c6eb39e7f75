// The contract suite's environment on the real machine: a scratch folder under %TEMP%, a
// scratch key under HKCU\Software\TarvelonContract, and a real second open of a file.
#include <atomic>
#include <cstring>
#include <string>
#include <thread>

#include "platform/win32/owners.h"
#include "platform/win32/win32_machine.h"
#include "platform/win32/windows_api.h"
#include <winioctl.h>
#include "tests/contract/contract_environment.h"

namespace {

constexpr const char* kKeyParent = "Software\\TarvelonContract";

std::string UniqueName() {
  static std::atomic<unsigned> counter{0};
  return std::to_string(::GetCurrentProcessId()) + "-" + std::to_string(++counter);
}

std::string TempFolder() {
  char buffer[MAX_PATH + 1] = {};
  const DWORD length = ::GetTempPathA(sizeof(buffer), buffer);
  std::string folder(buffer, length > 0 && length <= MAX_PATH ? length : 0);
  if (folder.empty()) folder = "C:\\";
  if (folder.back() != '\\') folder += '\\';
  return folder;
}

// Removes `folder` (ending with a backslash) with everything in it; read-only files too.
void RemoveTree(const std::string& folder) {
  WIN32_FIND_DATAA entry;
  HANDLE search = ::FindFirstFileA((folder + "*").c_str(), &entry);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      const std::string name = entry.cFileName;
      if (name == "." || name == "..") continue;
      const std::string path = folder + name;
      ::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
      if (entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)  // a link: never entered
        ::RemoveDirectoryA(path.c_str()) || ::DeleteFileA(path.c_str());
      else if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        RemoveTree(path + "\\");
      else
        ::DeleteFileA(path.c_str());
    } while (::FindNextFileA(search, &entry));
    ::FindClose(search);
  }
  ::RemoveDirectoryA(folder.c_str());
}

bool UnderWine() {
  return ::GetProcAddress(::GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr;
}

// A junction: an empty folder made a mount point that names `target` (a full path).
bool MakeJunction(const std::string& link, const std::string& target) {
  if (!::CreateDirectoryA(link.c_str(), nullptr)) return false;
  win32::UniqueFile folder(::CreateFileA(link.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                         FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
  std::string full = target;
  if (full.back() == '\\') full.pop_back();
  const std::wstring name(full.begin(), full.end());  // ASCII scratch paths
  const std::wstring substitute = L"\\??\\" + name;
  // REPARSE_DATA_BUFFER of a mount point: tag, data length, reserved; then the substitute and
  // the print name, each ended by a NUL, and their offsets and lengths in bytes.
  std::wstring names = substitute + L'\0' + name + L'\0';
  const WORD substituteBytes = static_cast<WORD>(substitute.size() * 2);
  const WORD nameBytes = static_cast<WORD>(name.size() * 2);
  std::string buffer(16 + names.size() * 2, '\0');
  const DWORD tag = IO_REPARSE_TAG_MOUNT_POINT;
  const WORD fields[6] = {static_cast<WORD>(buffer.size() - 8), 0, 0, substituteBytes,
                          static_cast<WORD>(substituteBytes + 2), nameBytes};
  std::memcpy(&buffer[0], &tag, 4);
  std::memcpy(&buffer[4], fields, sizeof(fields));
  std::memcpy(&buffer[16], names.data(), names.size() * 2);
  DWORD returned = 0;
  return folder && ::DeviceIoControl(folder.get(), FSCTL_SET_REPARSE_POINT, &buffer[0],
                                     static_cast<DWORD>(buffer.size()), nullptr, 0, &returned, nullptr);
}

// The Unix path of a Windows path under Wine, through Wine's own kernel32 export.
std::string UnixPath(const std::string& path) {
  using Fn = char*(CDECL*)(LPCWSTR);
  const auto convert = reinterpret_cast<Fn>(
      reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
  const std::wstring wide(path.begin(), path.end());
  char* unix = convert ? convert(wide.c_str()) : nullptr;
  const std::string result = unix ? unix : "";
  if (unix) ::HeapFree(::GetProcessHeap(), 0, unix);
  return result;
}

// `ln -s`, which a Windows program under Wine can start as it starts a Windows program. Wine
// hands back no process handle to wait on for a Unix program, so the link is waited for.
bool MakeUnixLink(const std::string& link, std::string target) {
  if (!target.empty() && target.back() == '\\') target.pop_back();
  const std::string from = UnixPath(target), to = UnixPath(link);
  if (from.empty() || to.empty()) return false;
  std::string command = "/bin/ln -s \"" + from + "\" \"" + to + "\"";
  STARTUPINFOA startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process{};
  if (!::CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
    return false;
  win32::UniqueHandle owner(process.hProcess), thread(process.hThread);
  for (int attempt = 0; attempt < 100; ++attempt) {
    if (::GetFileAttributesA(link.c_str()) != INVALID_FILE_ATTRIBUTES) return true;
    ::Sleep(50);
  }
  return false;
}

struct TBoxSearch {
  std::string Caption;
  HWND Found = nullptr;
};

BOOL CALLBACK MatchBox(HWND window, LPARAM search) {
  auto& wanted = *reinterpret_cast<TBoxSearch*>(search);
  char className[16] = {};
  ::GetClassNameA(window, className, sizeof className);
  char caption[256] = {};
  ::GetWindowTextA(window, caption, sizeof caption);
  if (std::string(className) != "#32770" || !::IsWindowVisible(window) ||
      wanted.Caption != caption)
    return TRUE;
  wanted.Found = window;
  return FALSE;
}

// The button that Enter presses carries BS_DEFPUSHBUTTON. DM_GETDEFID cannot be asked
// instead, since Wine answers it with IDOK whatever the box's default is.
HWND FindButton(HWND box, bool defaultOnly) {
  for (HWND child = ::GetWindow(box, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
    char className[16] = {};
    ::GetClassNameA(child, className, sizeof className);
    if (lstrcmpiA(className, "Button") != 0) continue;
    if (!defaultOnly || (::GetWindowLongA(child, GWL_STYLE) & 0x0F) == BS_DEFPUSHBUTTON)
      return child;
  }
  return nullptr;
}

// Waits (bounded) for the box and presses its default button, as Enter would.
void PressEnterWhenUp(const std::string& caption) {
  TBoxSearch search{caption};
  for (int attempt = 0; attempt < 200 && !search.Found; ++attempt) {
    ::EnumWindows(MatchBox, reinterpret_cast<LPARAM>(&search));
    if (!search.Found) ::Sleep(50);
  }
  if (!search.Found) return;
  ::Sleep(100);  // the box sets its default button while it initialises
  HWND button = FindButton(search.Found, true);
  // Without a default button the box is closed by its first one, so the test fails instead
  // of waiting for a user.
  if (!button) button = FindButton(search.Found, false);
  DWORD_PTR ignored = 0;
  ::SendMessageTimeoutA(button, BM_CLICK, 0, 0, SMTO_ABORTIFHUNG, 5000, &ignored);
}

class Win32HeldFile final : public HeldFile {
 public:
  explicit Win32HeldFile(HANDLE handle) : File(handle) {}

 private:
  win32::UniqueFile File;
};

class Win32ContractEnvironment final : public ContractEnvironment {
 public:
  Win32ContractEnvironment() {
    const std::string name = UniqueName();
    Folder = TempFolder() + "tvl-contract-" + name + "\\";
    RemoveTree(Folder);  // a leftover of a crashed run with the same process id
    ::CreateDirectoryA(Folder.c_str(), nullptr);
    Key = std::string(kKeyParent) + "\\" + name;
    ::RegDeleteTreeA(HKEY_CURRENT_USER, Key.c_str());
    platform::SetOs(&win32::TheMachine());
  }

  ~Win32ContractEnvironment() override {
    if (Presser.joinable()) Presser.join();
    platform::SetOs(nullptr);
    ::RegDeleteTreeA(HKEY_CURRENT_USER, Key.c_str());
    // The parent goes too once the last test's key is gone (fails while others remain).
    ::RegDeleteKeyA(HKEY_CURRENT_USER, kKeyParent);
    RemoveTree(Folder);
  }

  platform::Machine& Machine() override { return win32::TheMachine(); }
  std::string ScratchFolder() override { return Folder; }
  std::string ScratchKey() override { return Key; }

  std::unique_ptr<HeldFile> HoldOpen(const std::string& path) override {
    return Hold(path, 0);
  }
  std::unique_ptr<HeldFile> HoldOpenSharingDelete(const std::string& path) override {
    return Hold(path, FILE_SHARE_READ | FILE_SHARE_DELETE);
  }
  bool MakeReadOnly(const std::string& path) override {
    return ::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY) != FALSE;
  }
  // Known differences of Wine 8 (8.0, Debian 12), kept in this one place:
  // - A Windows program there can make no link: CreateSymbolicLinkA answers TRUE and makes
  //   nothing; FSCTL_SET_REPARSE_POINT fails with ERROR_NOT_SUPPORTED. The only links Wine
  //   shows are Unix symbolic links in the prefix, so under Wine the link is one of those.
  // - A Unix link to a folder is listed with FILE_ATTRIBUTE_REPARSE_POINT (0x410 from
  //   GetFileAttributesA and FindFirstFileA, reparse tag 0), but opened as the folder it points
  //   to even with FILE_FLAG_OPEN_REPARSE_POINT (0x10 through the handle). The backend then
  //   refuses to delete through that handle, so the link stays (RemovesFolderLinks).
  // - A Unix link to a file is a plain file (0x20) to every call, and deleting it, by
  //   DeleteFileA as through a handle, deletes the file it points to and leaves the link
  //   dangling (ShowsFileLinks); RemoveDirectoryA on a link to an empty folder likewise
  //   removes that folder. Wine runs every program as the same Unix user, with no elevation
  //   to win, so these are no way up there.
  // - A dangling Unix link is not there at all (INVALID_FILE_ATTRIBUTES).
  bool RemovesFolderLinks() override { return !UnderWine(); }
  bool ShowsFileLinks() override { return !UnderWine(); }
  bool MakeFolderLink(const std::string& link, const std::string& target) override {
    return UnderWine() ? MakeUnixLink(link, target) : MakeJunction(link, target);
  }
  bool MakeFileLink(const std::string& link, const std::string& target) override {
    if (UnderWine()) return MakeUnixLink(link, target);
    // SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE: where the system lets a user make one.
    using Fn = BOOLEAN(WINAPI*)(LPCSTR, LPCSTR, DWORD);
    const auto create = reinterpret_cast<Fn>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleA("kernel32.dll"), "CreateSymbolicLinkA")));
    return create && create(link.c_str(), target.c_str(), 2) &&
           (::GetFileAttributesA(link.c_str()) & FILE_ATTRIBUTE_REPARSE_POINT);
  }
  void PressEnterOnNextBox(const std::string& caption) override {
    if (Presser.joinable()) Presser.join();
    Presser = std::thread(PressEnterWhenUp, caption);
  }
  bool ReplacesReadOnlyFiles() override { return UnderWine(); }

 private:
  static std::unique_ptr<HeldFile> Hold(const std::string& path, DWORD share) {
    HANDLE handle = ::CreateFileA(path.c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return nullptr;
    return std::make_unique<Win32HeldFile>(handle);
  }

  std::string Folder;
  std::string Key;
  std::thread Presser;
};

}  // namespace

std::unique_ptr<ContractEnvironment> MakeContractEnvironment() {
  return std::make_unique<Win32ContractEnvironment>();
}
