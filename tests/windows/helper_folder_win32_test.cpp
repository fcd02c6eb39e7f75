// The uninstaller's helper folder and the start of its helper, with the real system calls
// watched through the seam that StartSelfRemoval takes.
#include <gtest/gtest.h>

#include "platform/win32/windows_api.h"
#include <sddl.h>

#include <filesystem>
#include <iomanip>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "payload/uninstaller/self_removal.h"
#include "platform/win32/owners.h"
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
DWORD CopyAttributesAtStart = 0;
BOOL WINAPI WatchedStart(LPCSTR application, LPSTR, LPSECURITY_ATTRIBUTES, LPSECURITY_ATTRIBUTES, BOOL, DWORD, LPVOID,
                         LPCSTR currentFolder, LPSTARTUPINFOA, LPPROCESS_INFORMATION) {
  Seen.push_back(std::string("start ") + application + " in " + currentFolder + " [" + EntriesBeside(application) + "]");
  CopyAttributesAtStart = ::GetFileAttributesA(application);
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
  bool Start(int failures = 0, DWORD error = 0, TCreateProcessFn start = WatchedStart,
             THandleListCalls list = SystemHandleListCalls()) {
    Seen.clear();
    Tried.clear();
    FolderFailures = failures;
    FolderError = error;
    CopyAttributesAtStart = INVALID_FILE_ATTRIBUTES;
    return StartSelfRemoval(Self, true, {WatchedMakeFolder, WatchedCopy, start, list});
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

// A read-only uninstaller gives a read-only copy, which neither the delete-on-close open nor a
// restart entry can remove: the copy is writable before anything else is done with it.
TEST_F(HelperFolderTest, AReadOnlyUninstallerGivesAWritableCopyAndLeavesNoFolder) {
  ASSERT_TRUE(Env->MakeReadOnly(Self));
  ASSERT_NE(::GetFileAttributesA(Self.c_str()) & FILE_ATTRIBUTE_READONLY, 0u);
  EXPECT_FALSE(Start());
  ASSERT_EQ(Tried.size(), 1u);
  ASSERT_NE(CopyAttributesAtStart, INVALID_FILE_ATTRIBUTES) << "the helper was never started";
  EXPECT_EQ(CopyAttributesAtStart & FILE_ATTRIBUTE_READONLY, 0u);
  EXPECT_EQ(EntriesBeside(Tried[0] + "\\x"), "<missing>");
}

// The helper, started for real (this test program, suspended, in its place), holds the three
// handles of its command line and nothing of a pipe that the uninstaller got as its standard
// output: with the handle list, and without it as before Vista, where another inheritable handle
// of the uninstaller goes along.
PROCESS_INFORMATION Helper;
std::string HelperCommand;
BOOL WINAPI StartSuspendedInstead(LPCSTR, LPSTR command, LPSECURITY_ATTRIBUTES, LPSECURITY_ATTRIBUTES, BOOL inherit,
                                  DWORD flags, LPVOID, LPCSTR folder, LPSTARTUPINFOA startup,
                                  LPPROCESS_INFORMATION process) {
  char self[MAX_PATH] = {};
  ::GetModuleFileNameA(nullptr, self, MAX_PATH);
  HelperCommand = command;
  std::string line = std::string("\"") + self + "\" --gtest_list_tests";
  if (!::CreateProcessA(self, &line[0], nullptr, nullptr, inherit, flags | CREATE_SUSPENDED, nullptr, folder, startup,
                        process))
    return FALSE;
  Helper = *process;  // the caller closes these; the test keeps its own
  ::DuplicateHandle(::GetCurrentProcess(), process->hProcess, ::GetCurrentProcess(), &Helper.hProcess, 0, FALSE,
                    DUPLICATE_SAME_ACCESS);
  Helper.hThread = nullptr;
  return TRUE;
}

// Whether the helper's handle of this value is `event`: it follows the event's state.
bool HelperHoldsEvent(HANDLE event) {
  HANDLE copy = nullptr;
  if (!::DuplicateHandle(Helper.hProcess, event, ::GetCurrentProcess(), &copy, 0, FALSE, DUPLICATE_SAME_ACCESS))
    return false;
  ::SetEvent(event);
  const bool set = ::WaitForSingleObject(copy, 0) == WAIT_OBJECT_0;
  ::ResetEvent(event);
  const bool reset = ::WaitForSingleObject(copy, 0) == WAIT_TIMEOUT;
  ::CloseHandle(copy);
  return set && reset;
}

bool HelperHolds(HANDLE value) {
  HANDLE copy = nullptr;
  if (!::DuplicateHandle(Helper.hProcess, value, ::GetCurrentProcess(), &copy, 0, FALSE, DUPLICATE_SAME_ACCESS))
    return false;
  ::CloseHandle(copy);
  return true;
}

TEST_F(HelperFolderTest, TheHelperInheritsItsOwnHandlesAndNotTheUninstallersOutputPipe) {
  const struct Row {
    const char* label;
    THandleListCalls list;
    bool otherHandleInherited;
  } rows[] = {{"with the handle list", SystemHandleListCalls(), false},
              {"without it, as before Vista", {}, true}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    SECURITY_ATTRIBUTES inheritable = {sizeof(inheritable), nullptr, TRUE};
    win32::UniqueHandle other(::CreateEventA(&inheritable, TRUE, FALSE, nullptr));
    HANDLE read = nullptr, write = nullptr;
    ASSERT_TRUE(::CreatePipe(&read, &write, &inheritable, 0));
    const HANDLE output = ::GetStdHandle(STD_OUTPUT_HANDLE);
    ::SetStdHandle(STD_OUTPUT_HANDLE, write);
    const bool started = Start(0, 0, StartSuspendedInstead, row.list);
    ::SetStdHandle(STD_OUTPUT_HANDLE, output);
    ::CloseHandle(write);
    ASSERT_TRUE(started);

    std::istringstream words(HelperCommand.substr(HelperCommand.find("/cleanup")));
    std::string word, path;
    unsigned long long process = 0, file = 0, copy = 0;
    words >> word >> process >> std::quoted(path) >> file >> copy;
    EXPECT_TRUE(HelperHolds(reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(process)))) << HelperCommand;
    EXPECT_TRUE(HelperHolds(reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(file)))) << HelperCommand;
    EXPECT_TRUE(HelperHolds(reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(copy)))) << HelperCommand;
    EXPECT_EQ(HelperHoldsEvent(other.get()), row.otherHandleInherited);
    // Nobody holds the pipe's other end any more unless the helper inherited it.
    DWORD available = 0;
    EXPECT_FALSE(::PeekNamedPipe(read, nullptr, 0, nullptr, &available, nullptr)) << "the helper holds the pipe";
    EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_BROKEN_PIPE));

    ::TerminateProcess(Helper.hProcess, 0);
    ::WaitForSingleObject(Helper.hProcess, 10000);
    ::CloseHandle(Helper.hProcess);
    ::CloseHandle(read);
    // The copy went with the helper's handle; its folder is the helper's to remove.
    EXPECT_EQ(EntriesBeside(Tried[0] + "\\x"), "");
    ::RemoveDirectoryA(Tried[0].c_str());
  }
}

}  // namespace
