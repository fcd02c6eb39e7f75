// Folders opened as themselves: what every backend shows of them and of a link to a folder.
#include <gtest/gtest.h>

#include <string>

#include "tests/contract/contract_environment.h"

namespace {

using platform::EntryKind;

bool WriteFile(platform::Files& files, const std::string& path, const std::string& bytes) {
  auto file = files.CreateForWrite(path);
  return file && file->Write(bytes.data(), bytes.size());
}

class LinksContract : public ::testing::Test {
 protected:
  void SetUp() override {
    env = MakeContractEnvironment();
    root = env->ScratchFolder();
    ASSERT_TRUE(files().CreateDirectory(root + "Outside"));
    ASSERT_TRUE(WriteFile(files(), root + "Outside\\keep.txt", "not ours"));
    ASSERT_TRUE(files().CreateDirectory(root + "Group"));
    ASSERT_TRUE(WriteFile(files(), root + "Group\\a.lnk", "a"));
  }
  platform::Files& files() { return env->Machine().Fs; }
  std::string RootWithoutBackslash() const { return root.substr(0, root.size() - 1); }

  std::unique_ptr<ContractEnvironment> env;
  std::string root;
};

TEST_F(LinksContract, EntriesOfAnOpenedFolder) {
  ASSERT_TRUE(WriteFile(files(), root + "ro.txt", "x"));
  ASSERT_TRUE(env->MakeReadOnly(root + "ro.txt"));
  auto folder = files().OpenFolder(RootWithoutBackslash());
  ASSERT_TRUE(folder);
  EXPECT_EQ(folder->KindOf("Group"), EntryKind::Folder);
  EXPECT_EQ(folder->KindOf("ro.txt"), EntryKind::File);
  EXPECT_EQ(folder->KindOf("missing"), EntryKind::Missing);
  EXPECT_EQ(folder->KindOf("..\\Outside"), EntryKind::Missing) << "a name, never a path";
  EXPECT_FALSE(folder->OpenFolder("ro.txt"));
  EXPECT_FALSE(folder->Remove("Group")) << "not empty";
  EXPECT_TRUE(folder->Remove("ro.txt")) << "read-only is no obstacle";
  EXPECT_FALSE(folder->Remove("ro.txt"));
  {
    auto group = folder->OpenFolder("GROUP");
    ASSERT_TRUE(group);
    EXPECT_EQ(group->Names(), std::vector<std::string>{"a.lnk"});
    EXPECT_FALSE(files().MoveFile(root + "Group", root + "Moved")) << "held: nobody renames it";
    EXPECT_TRUE(group->Remove("a.lnk"));
    EXPECT_FALSE(folder->Remove("Group")) << "our own hold refuses its deletion too";
  }
  EXPECT_TRUE(folder->Remove("Group"));
  EXPECT_FALSE(files().DirectoryExists(root + "Group"));
  EXPECT_FALSE(files().OpenFolder(root + "Outside\\keep.txt"));
}

TEST_F(LinksContract, ALinkToAFolderIsNeverOpenedAndIsRemovedItself) {
  ASSERT_TRUE(env->MakeFolderLink(root + "Link", root + "Outside"));
  EXPECT_FALSE(files().OpenFolder(root + "Link"));
  auto folder = files().OpenFolder(RootWithoutBackslash());
  ASSERT_TRUE(folder);
  EXPECT_EQ(folder->KindOf("Link"), EntryKind::Link);
  EXPECT_FALSE(folder->OpenFolder("Link"));
  EXPECT_EQ(folder->Remove("Link"), env->RemovesFolderLinks());
  EXPECT_EQ(folder->KindOf("Link"), env->RemovesFolderLinks() ? EntryKind::Missing : EntryKind::Link);
  EXPECT_TRUE(files().FileExists(root + "Outside\\keep.txt"));
}

}  // namespace
