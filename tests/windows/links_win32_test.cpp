// The old groups' removal through the real backend, with a link at each level: nothing outside
// the tree goes. Links are made as the user could (see the environment for Wine's).
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "platform/machine.h"
#include "shell/removal_without_links.h"
#include "shell/shortcuts.h"
#include "tests/contract/contract_environment.h"

namespace {

class LinksWin32Test : public ::testing::Test {
 protected:
  void SetUp() override {
    Env = MakeContractEnvironment();
    Root = Env->ScratchFolder();
    Programs = Root + "Programs\\";
    for (const char* folder : {"Outside", "Outside\\Tarvelon", "Programs", "Programs\\Tarvelon"})
      ASSERT_TRUE(Fs().CreateDirectory(Root + folder));
    for (const char* file : {"Outside\\keep.txt", "Outside\\Tarvelon\\Tarvelon.lnk", "Programs\\Tarvelon\\a.lnk"})
      ASSERT_TRUE(Write(Root + file));
  }
  platform::Files& Fs() { return Env->Machine().Fs; }
  bool Write(const std::string& path) {
    auto file = Fs().CreateForWrite(path);
    return file && file->Write("x", 1);
  }
  void ExpectOutsideIntact() {
    EXPECT_TRUE(Fs().FileExists(Root + "Outside\\keep.txt"));
    EXPECT_TRUE(Fs().FileExists(Root + "Outside\\Tarvelon\\Tarvelon.lnk"));
  }

  std::unique_ptr<ContractEnvironment> Env;
  std::string Root, Programs;
};

TEST_F(LinksWin32Test, TheGroupFolderIsALink) {
  ASSERT_TRUE(Env->MakeFolderLink(Programs + "Group", Root + "Outside"));
  EXPECT_EQ(DeleteFolderTree(Programs + "Group\\"), Env->RemovesFolderLinks());
  EXPECT_NE(Fs().DirectoryExists(Programs + "Group"), Env->RemovesFolderLinks());
  ExpectOutsideIntact();
}

TEST_F(LinksWin32Test, ALinkInsideTheGroup) {
  ASSERT_TRUE(Env->MakeFolderLink(Programs + "Tarvelon\\Inner", Root + "Outside"));
  EXPECT_EQ(DeleteFolderTree(Programs + "Tarvelon\\"), Env->RemovesFolderLinks());
  EXPECT_NE(Fs().DirectoryExists(Programs + "Tarvelon"), Env->RemovesFolderLinks());
  EXPECT_FALSE(Fs().FileExists(Programs + "Tarvelon\\a.lnk")) << "the rest goes";
  ExpectOutsideIntact();
}

TEST_F(LinksWin32Test, TheProgramsFolderItselfIsALink) {
  ASSERT_TRUE(Env->MakeFolderLink(Root + "LinkedPrograms", Root + "Outside"));
  EXPECT_FALSE(DeleteFolderTree(Root + "LinkedPrograms\\Tarvelon\\"));
  EXPECT_FALSE(RemoveWithoutLinks(Fs(), Root + "LinkedPrograms", Root + "LinkedPrograms\\Tarvelon\\Tarvelon.lnk",
                                  TRemoveWhat::File));
  ExpectOutsideIntact();
}

// The uninstaller's removal of one link file, which is itself a link to a file outside.
TEST_F(LinksWin32Test, ALinkFileIsALinkToAFile) {
  if (!Env->ShowsFileLinks()) GTEST_SKIP() << "Wine shows a link to a file as the file";
  if (!Env->MakeFileLink(Programs + "Tarvelon\\Tarvelon.lnk", Root + "Outside\\keep.txt"))
    GTEST_SKIP() << "this user may not make symbolic links";
  EXPECT_TRUE(FileOrLinkWithoutLinks(Fs(), Programs, Programs + "Tarvelon\\Tarvelon.lnk"));
  EXPECT_TRUE(RemoveWithoutLinks(Fs(), Programs, Programs + "Tarvelon\\Tarvelon.lnk", TRemoveWhat::File));
  EXPECT_FALSE(Fs().FileExists(Programs + "Tarvelon\\Tarvelon.lnk"));
  EXPECT_TRUE(DeleteFolderTree(Programs + "Tarvelon\\"));
  ExpectOutsideIntact();
}

}  // namespace
