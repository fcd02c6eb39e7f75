// The uninstaller's helper folder and the start of its helper, with the real system calls
// watched through the seam that StartSelfRemoval takes.
#include <gtest/gtest.h>

#include "platform/win32/windows_api.h"
#include <sddl.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "payload/uninstaller/self_removal.h"
#include "tests/contract/contract_environment.h"

namespace {

const char kAdministratorsOnly[] = "O:BAD:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)";

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

// The names in the folder of `path`, "|" between them.
std::string EntriesBeside(const std::string& path) {
  std::error_code error;
  std::string names;
  for (const auto& entry : std::filesystem::directory_iterator(path.substr(0, path.rfind('\\')), error))
    names += (names.empty() ? "" : "|") + entry.path().filename().string();
  return error ? "<missing>" : names;
}

// What the watched calls saw, in order, and the folders tried; the folder call fails
// `FolderFailures` times first, with `FolderError`.
std::vector<std::string> Seen, Tried;
int FolderFailures = 0;
DWORD FolderError = 0;

BOOL WINAPI WatchedMakeFolder(LPCSTR path, LPSECURITY_ATTRIBUTES attributes) {
  Seen.push_back(std::string("folder ") + SddlOf(attributes ? attributes->lpSecurityDescriptor : nullptr));
  Tried.push_back(path);
  if (FolderFailures == 0) return ::CreateDirectoryA(path, attributes);
  --FolderFailures;
  ::SetLastError(FolderError);
  return FALSE;
}
BOOL WINAPI WatchedCopy(LPCSTR from, LPCSTR to, BOOL failIfExists) {
  Seen.push_back("copy into [" + EntriesBeside(to) + "]");
  return ::CopyFileA(from, to, failIfExists);
}
BOOL WINAPI WatchedStart(LPCSTR application, LPSTR, LPSECURITY_ATTRIBUTES, LPSECURITY_ATTRIBUTES, BOOL, DWORD, LPVOID,
                         LPCSTR currentFolder, LPSTARTUPINFOA, LPPROCESS_INFORMATION) {
  Seen.push_back(std::string("start ") + application + " in " + currentFolder + " [" + EntriesBeside(application) + "]");
  ::SetLastError(ERROR_ACCESS_DENIED);  // nothing runs
  return FALSE;
}

class HelperFolderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Env = MakeContractEnvironment();
    Self = Env->ScratchFolder() + "Uninstall.exe";
    ASSERT_TRUE(std::ofstream(Self) << "MZ");
  }
  bool Start(int failures = 0, DWORD error = 0) {
    Seen.clear();
    Tried.clear();
    FolderFailures = failures;
    FolderError = error;
    return StartSelfRemoval(Self, true, {WatchedMakeFolder, WatchedCopy, WatchedStart});
  }
  std::unique_ptr<ContractEnvironment> Env;
  std::string Self;
};

// Wine does not keep a folder's descriptor (it makes one up from the Unix permissions), so the
// descriptor handed to CreateDirectoryA, as the system converts it to SDDL, stands in here for
// reading the folder's own back on Windows.
TEST_F(HelperFolderTest, MadeUnderTheWindowsTempForAdministratorsAloneAndEmptyUntilTheCopy) {
  EXPECT_EQ(SddlOf(HelperFolderDescriptor().get()), kAdministratorsOnly);
  EXPECT_FALSE(Start());
  char windows[MAX_PATH] = {}, system[MAX_PATH] = {};
  ::GetWindowsDirectoryA(windows, MAX_PATH);
  ::GetSystemDirectoryA(system, MAX_PATH);
  ASSERT_EQ(Tried.size(), 1u);
  const std::string folder = Tried[0], temp = std::string(windows) + "\\Temp\\tvl-";
  EXPECT_EQ(folder.rfind(temp, 0), 0u) << folder;
  EXPECT_EQ(folder.size(), temp.size() + 16);
  EXPECT_EQ(Seen, (std::vector<std::string>{
                      std::string("folder ") + kAdministratorsOnly, "copy into []",
                      "start " + folder + "\\TarvelonUninstall.exe in " + system + " [TarvelonUninstall.exe]"}));
  EXPECT_EQ(EntriesBeside(folder + "\\x"), "<missing>") << "a helper that did not start leaves no folder";
}

TEST_F(HelperFolderTest, ANameThatExistsIsNeverUsedAndAnyOtherFailureStartsNothing) {
  const struct Row {
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
    EXPECT_FALSE(Start(row.failures, row.error));
    std::string calls;
    for (const std::string& call : Seen) calls += (calls.empty() ? "" : " ") + call.substr(0, call.find(' '));
    EXPECT_EQ(calls, row.calls);
    EXPECT_EQ(std::set<std::string>(Tried.begin(), Tried.end()).size(), Tried.size()) << "a name tried twice";
    for (const std::string& folder : Tried) EXPECT_EQ(EntriesBeside(folder + "\\x"), "<missing>") << folder;
  }
}

}  // namespace
