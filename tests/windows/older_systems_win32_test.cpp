// What the programs do where a function of a later system is missing: each function that they
// look up at run time, treated as missing here (Wine exports them all), takes its fallback.
#include <gtest/gtest.h>

#include "platform/win32/windows_api.h"

#include <fstream>
#include <functional>
#include <string>

#include "payload/uninstaller/helper_folder.h"
#include "payload/uninstaller/own_module.h"
#include "payload/uninstaller/self_removal.h"
#include "platform/win32/owners.h"
#include "platform/win32/system_library.h"
#include "tests/contract/contract_environment.h"

namespace {

// The helper folders that NewHelperFolder made, each removed again.
std::vector<std::string> Made;
BOOL WINAPI MakeAndNote(LPCSTR path, LPSECURITY_ATTRIBUTES attributes) {
  if (!::CreateDirectoryA(path, attributes)) return FALSE;
  Made.push_back(path);
  return TRUE;
}
std::string NewFolderAndRemoveIt() {
  Made.clear();
  const std::string folder = NewHelperFolder(MakeAndNote);
  for (const std::string& made : Made) ::RemoveDirectoryA(made.c_str());
  return folder;
}

std::string WindowsTempPrefix() {
  char windows[MAX_PATH] = {};
  ::GetWindowsDirectoryA(windows, MAX_PATH);
  return std::string(windows) + "\\Temp\\tvl-";
}

class OlderSystemTest : public ::testing::Test {
 protected:
  void SetUp() override { Env = MakeContractEnvironment(); }
  void TearDown() override { win32::FunctionsTreatedAsMissing().clear(); }
  std::unique_ptr<ContractEnvironment> Env;
};

TEST_F(OlderSystemTest, EachFunctionOfALaterSystemThatIsMissingTakesItsFallback) {
  const auto actions = MakeSystemCleanupActions();
  const struct Row {
    const char* missing;
    std::function<void(const std::string& scratch)> check;
  } rows[] = {
      // No restriction: the programs load their system DLLs by full path anyway.
      {"SetDefaultDllDirectories", [](const std::string&) { EXPECT_FALSE(win32::RestrictDllSearchToSystemFolder()); }},
      // The one Windows folder of the oldest systems.
      {"GetSystemWindowsDirectoryA",
       [](const std::string&) { EXPECT_EQ(NewFolderAndRemoveIt().rfind(WindowsTempPrefix(), 0), 0u); }},
      // No descriptor for an administrators-only folder, so no helper folder: the uninstaller
      // leaves itself to the next restart instead.
      {"ConvertStringSecurityDescriptorToSecurityDescriptorA",
       [](const std::string&) {
         EXPECT_EQ(HelperFolderDescriptor(), nullptr);
         EXPECT_EQ(NewFolderAndRemoveIt(), "");
         EXPECT_TRUE(Made.empty());
       }},
      // No unguessable name, so no helper folder either.
      {"SystemFunction036",
       [](const std::string&) {
         std::string text = "unchanged";
         EXPECT_FALSE(RandomHex(text));
         EXPECT_EQ(NewFolderAndRemoveIt(), "");
         EXPECT_TRUE(Made.empty());
       }},
      // No rename through the handle: the helper's copy stays where it is, for the restart.
      {"SetFileInformationByHandle",
       [&actions](const std::string& scratch) {
         const std::string from = scratch + "copy.exe", to = scratch + "moved.exe";
         ASSERT_TRUE(std::ofstream(from) << "MZ");
         win32::UniqueFile open(::CreateFileA(from.c_str(), DELETE | FILE_READ_ATTRIBUTES,
                                              FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING, 0, nullptr));
         ASSERT_TRUE(open);
         EXPECT_FALSE(actions->MoveOpenFile(reinterpret_cast<ULONG_PTR>(open.get()), to));
         EXPECT_NE(::GetFileAttributesA(from.c_str()), INVALID_FILE_ATTRIBUTES);
         EXPECT_EQ(::GetFileAttributesA(to.c_str()), INVALID_FILE_ATTRIBUTES);
       }},
      // A real handle of the helper's own process passes for another's; waiting for it then
      // times out, and the helper refuses.
      {"GetProcessId",
       [&actions](const std::string&) {
         win32::UniqueHandle own;
         ASSERT_TRUE(::DuplicateHandle(::GetCurrentProcess(), ::GetCurrentProcess(), ::GetCurrentProcess(), own.put(),
                                       PROCESS_QUERY_INFORMATION, FALSE, 0));
         EXPECT_TRUE(actions->IsOtherProcess(reinterpret_cast<ULONG_PTR>(own.get())));
       }},
      // The module's path as the system gave it.
      {"GetLongPathNameA",
       [](const std::string&) {
         char path[MAX_PATH] = {};
         ::GetModuleFileNameA(nullptr, path, MAX_PATH);
         EXPECT_EQ(OwnModulePath(), path);
       }},
      // No handle list: the helper is started without one (see helper_folder_win32_test.cpp).
      {"InitializeProcThreadAttributeList",
       [](const std::string&) { EXPECT_EQ(SystemHandleListCalls().Initialize, nullptr); }},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.missing);
    win32::FunctionsTreatedAsMissing() = {row.missing};
    row.check(Env->ScratchFolder());
  }
}

// The same calls where the functions exist, so that the fallbacks above are not all there is.
TEST_F(OlderSystemTest, WhereTheFunctionsExistTheyAreUsed) {
  EXPECT_NE(HelperFolderDescriptor(), nullptr);
  std::string text;
  EXPECT_TRUE(RandomHex(text));
  EXPECT_EQ(text.size(), 16u);
  EXPECT_NE(SystemHandleListCalls().Initialize, nullptr);
  win32::UniqueHandle own;
  ASSERT_TRUE(::DuplicateHandle(::GetCurrentProcess(), ::GetCurrentProcess(), ::GetCurrentProcess(), own.put(),
                                PROCESS_QUERY_INFORMATION, FALSE, 0));
  EXPECT_FALSE(MakeSystemCleanupActions()->IsOtherProcess(reinterpret_cast<ULONG_PTR>(own.get())));
  const std::string from = Env->ScratchFolder() + "copy.exe", to = Env->ScratchFolder() + "moved.exe";
  ASSERT_TRUE(std::ofstream(from) << "MZ");
  {
    win32::UniqueFile open(::CreateFileA(from.c_str(), DELETE | FILE_READ_ATTRIBUTES,
                                         FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(open);
    EXPECT_TRUE(MakeSystemCleanupActions()->MoveOpenFile(reinterpret_cast<ULONG_PTR>(open.get()), to));
  }
  EXPECT_NE(::GetFileAttributesA(to.c_str()), INVALID_FILE_ATTRIBUTES);
}

}  // namespace
