// The uninstaller's helper folder and the start of its helper, with the real system calls
// watched through the seam that StartSelfRemoval takes.
#include <gtest/gtest.h>

#include "platform/win32/windows_api.h"
#include <sddl.h>

#include <set>
#include <string>
#include <vector>

#include "payload/uninstaller/self_removal.h"
#include "tests/contract/contract_environment.h"

namespace {

std::string SddlOf(PSECURITY_DESCRIPTOR descriptor) {
  LPSTR text = nullptr;
  if (!descriptor || !::ConvertSecurityDescriptorToStringSecurityDescriptorA(
                         descriptor, SDDL_REVISION_1, OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION,
                         &text, nullptr))
    return "<none>";
  const std::string sddl(text);
  ::LocalFree(text);
  return sddl;
}

std::string FolderOf(const std::string& path) { return path.substr(0, path.find_last_of('\\')); }

std::string Entries(const std::string& folder) {
  std::string names;
  WIN32_FIND_DATAA found;
  const HANDLE search = ::FindFirstFileA((folder + "\\*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return "<missing>";
  do {
    const std::string name = found.cFileName;
    if (name != "." && name != "..") names += (names.empty() ? "" : "|") + name;
  } while (::FindNextFileA(search, &found));
  ::FindClose(search);
  return names;
}

// What the watched calls saw, in order, and the folders tried; the folder call fails
// `FolderFailures` times first, with `FolderError`.
std::vector<std::string> Seen, Tried;
int FolderFailures = 0;
DWORD FolderError = 0;

BOOL WINAPI WatchedMakeFolder(LPCSTR path, LPSECURITY_ATTRIBUTES attributes) {
  Seen.push_back(std::string("folder ") + SddlOf(attributes ? attributes->lpSecurityDescriptor : nullptr));
  Tried.push_back(path);
  if (FolderFailures > 0 && FolderFailures--) {
    ::SetLastError(FolderError);
    return FALSE;
  }
  return ::CreateDirectoryA(path, attributes);
}
BOOL WINAPI WatchedCopy(LPCSTR from, LPCSTR to, BOOL failIfExists) {
  Seen.push_back("copy into [" + Entries(FolderOf(to)) + "]");
  return ::CopyFileA(from, to, failIfExists);
}
BOOL WINAPI WatchedStart(LPCSTR application, LPSTR, LPSECURITY_ATTRIBUTES, LPSECURITY_ATTRIBUTES, BOOL, DWORD, LPVOID,
                         LPCSTR currentFolder, LPSTARTUPINFOA, LPPROCESS_INFORMATION) {
  Seen.push_back(std::string("start ") + application + " in " + currentFolder + " [" +
                 Entries(FolderOf(application)) + "]");
  ::SetLastError(ERROR_ACCESS_DENIED);  // nothing runs
  return FALSE;
}

class HelperFolderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Env = MakeContractEnvironment();
    Self = Env->ScratchFolder() + "Uninstall.exe";
    const HANDLE file = ::CreateFileA(Self.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    ::CloseHandle(file);
    Seen.clear();
    Tried.clear();
    FolderFailures = 0;
  }
  bool Start() { return StartSelfRemoval(Self, true, {WatchedMakeFolder, WatchedCopy, WatchedStart}); }
  std::unique_ptr<ContractEnvironment> Env;
  std::string Self;
};

std::string WindowsTemp() {
  char folder[MAX_PATH] = {};
  ::GetWindowsDirectoryA(folder, MAX_PATH);
  return std::string(folder) + "\\Temp\\";
}

const char kAdministratorsOnly[] = "O:BAD:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)";

// Wine does not keep a folder's descriptor (it makes one up from the Unix permissions), so the
// descriptor handed to CreateDirectoryA, as the system converts it to SDDL, stands in here for
// reading the folder's own back on Windows.
TEST_F(HelperFolderTest, MadeUnderTheWindowsTempForAdministratorsAloneAndEmptyUntilTheCopy) {
  EXPECT_EQ(SddlOf(HelperFolderDescriptor().get()), kAdministratorsOnly);
  EXPECT_FALSE(Start());  // the watched start runs nothing
  ASSERT_EQ(Tried.size(), 1u);
  const std::string folder = Tried[0];
  ASSERT_EQ(folder.rfind(WindowsTemp() + "tvl-", 0), 0u) << folder;
  EXPECT_EQ(folder.size(), WindowsTemp().size() + 4 + 16);
  char system[MAX_PATH] = {};
  ::GetSystemDirectoryA(system, MAX_PATH);
  EXPECT_EQ(Seen, (std::vector<std::string>{
                      std::string("folder ") + kAdministratorsOnly, "copy into []",
                      "start " + folder + "\\TarvelonUninstall.exe in " + system + " [TarvelonUninstall.exe]"}));
  EXPECT_EQ(Entries(folder), "<missing>") << "a helper that did not start leaves no folder";
}

TEST_F(HelperFolderTest, ANameThatExistsIsNeverUsedAndAnyOtherFailureStartsNothing) {
  struct Row {
    const char* label;
    int failures;
    DWORD error;
    const char* calls;
  } rows[] = {
      {"the first name exists: another one", 1, ERROR_ALREADY_EXISTS, "folder folder copy start"},
      {"every name exists", 4, ERROR_ALREADY_EXISTS, "folder folder folder folder"},
      {"the Temp folder is read-only", 1, ERROR_ACCESS_DENIED, "folder"},
      {"the disk is full", 1, ERROR_DISK_FULL, "folder"},
      {"the Temp folder is missing", 1, ERROR_PATH_NOT_FOUND, "folder"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    Seen.clear();
    Tried.clear();
    FolderFailures = row.failures;
    FolderError = row.error;
    EXPECT_FALSE(Start());
    std::string calls;
    for (const std::string& call : Seen) calls += (calls.empty() ? "" : " ") + call.substr(0, call.find(' '));
    EXPECT_EQ(calls, row.calls);
    EXPECT_EQ(std::set<std::string>(Tried.begin(), Tried.end()).size(), Tried.size()) << "a name tried twice";
    for (const std::string& folder : Tried) EXPECT_EQ(Entries(folder), "<missing>") << folder;
  }
}

}  // namespace
