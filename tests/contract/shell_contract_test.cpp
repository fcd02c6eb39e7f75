// Shell behaviour that every backend shares: folder-tree removal and shell links.
#include <gtest/gtest.h>

#include <string>

#include "platform/win_constants.h"
#include "tests/contract/contract_environment.h"

namespace {

bool WriteFile(platform::Files& files, const std::string& path, const std::string& bytes) {
  auto file = files.CreateForWrite(path);
  return file && file->Write(bytes.data(), bytes.size());
}

std::string DoubleNulList(const std::string& path) { return path + '\0' + '\0'; }

TEST(ShellContract, DeleteRemovesANestedTree) {
  auto env = MakeContractEnvironment();
  platform::Files& files = env->Machine().Fs;
  const std::string group = env->ScratchFolder() + "Group";
  ASSERT_TRUE(files.CreateDirectory(group));
  ASSERT_TRUE(files.CreateDirectory(group + "\\Sub"));
  ASSERT_TRUE(files.CreateDirectory(group + "\\Sub\\Deeper"));
  ASSERT_TRUE(WriteFile(files, group + "\\a.lnk", "a"));
  ASSERT_TRUE(WriteFile(files, group + "\\Sub\\Deeper\\b.url", "b"));
  ASSERT_TRUE(WriteFile(files, env->ScratchFolder() + "Group2.txt", "neighbour"));

  const int result = env->Machine().Sh.FileOperation(
      win::kFoDelete, DoubleNulList(group), win::kFofSilent | win::kFofNoConfirmation);
  EXPECT_EQ(result, 0);
  EXPECT_FALSE(files.DirectoryExists(group));
  EXPECT_TRUE(files.FileExists(env->ScratchFolder() + "Group2.txt"));
  EXPECT_TRUE(files.DirectoryExists(env->ScratchFolder()));
}

class ShellLinkContract : public ::testing::Test {
 protected:
  void SetUp() override {
    env = MakeContractEnvironment();
    comReady = env->Machine().Sys.ComInitialize();
    ASSERT_TRUE(comReady);
    target = env->ScratchFolder() + "Program.exe";
    auto file = env->Machine().Fs.CreateForWrite(target);
    ASSERT_TRUE(file && file->Write("MZ", 2));
  }
  void TearDown() override {
    if (comReady) env->Machine().Sys.ComUninitialize();
  }
  platform::ShellLinkFields Fields(const std::string& linkPath) const {
    platform::ShellLinkFields fields;
    fields.Target = target;
    fields.WorkingDirectory = env->ScratchFolder();
    fields.Description = "Contract link";
    fields.ShowCommand = win::kSwShow;
    fields.IconPath = target;
    fields.LinkPath = linkPath;
    return fields;
  }

  std::unique_ptr<ContractEnvironment> env;
  bool comReady = false;
  std::string target;
};

TEST_F(ShellLinkContract, SavingCreatesTheFileAndReplacesAnOldOne) {
  platform::Files& files = env->Machine().Fs;
  const std::string link = env->ScratchFolder() + "Program.lnk";
  EXPECT_EQ(env->Machine().Sh.SaveShellLink(Fields(link)), platform::LinkResult::Saved);
  EXPECT_TRUE(files.FileExists(link));

  const std::string stale = "not a link at all";
  ASSERT_TRUE(WriteFile(files, link, stale));
  EXPECT_EQ(env->Machine().Sh.SaveShellLink(Fields(link)), platform::LinkResult::Saved);
  std::string bytes;
  ASSERT_TRUE(files.ReadBytes(link, 0, 1 << 16, platform::ShareMode::Read, bytes));
  EXPECT_NE(bytes, stale);
  EXPECT_FALSE(bytes.empty());
}

TEST_F(ShellLinkContract, SavingIntoAMissingFolderFails) {
  const std::string link = env->ScratchFolder() + "NoGroup\\Program.lnk";
  EXPECT_EQ(env->Machine().Sh.SaveShellLink(Fields(link)), platform::LinkResult::SaveFailed);
  EXPECT_FALSE(env->Machine().Fs.FileExists(link));
}

}  // namespace
