// Start-menu groups, shell links and the website shortcut.
#include <gtest/gtest.h>

#include "setup_fixture.h"
#include "shell/shortcuts.h"

namespace {

using fixture::SetupTest;

class ShortcutsTest : public SetupTest {};

TEST_F(ShortcutsTest, WebsiteShortcutHasExactlyTwoLines) {
  const std::string path = fixture::kCommonPrograms + "\\site.url";
  M.Files().PutFile(path, std::string(100, 'x'));  // replaced, not appended to
  CreateWebsiteShortcut(path, "https://example.test/a b");
  EXPECT_EQ(File(path), "[InternetShortcut]\r\nURL=https://example.test/a b\r\n");
}

TEST_F(ShortcutsTest, WebsiteShortcutFailuresAreSilent) {
  CreateWebsiteShortcut("C:\\missing\\folder\\site.url", "https://example.test");
  M.Files().FailOperation(sim::FileOp::Write);
  CreateWebsiteShortcut(fixture::kCommonPrograms + "\\site.url", "https://example.test");
  EXPECT_TRUE(Boxes().empty());
  EXPECT_FALSE(File("C:\\missing\\folder\\site.url").has_value());
}

TEST_F(ShortcutsTest, LinkPropertiesComeFromTheTarget) {
  const std::string target = "C:\\Program Files\\My Apps\\Tarvelon.exe";
  const std::string link = fixture::kCommonDesktop + "\\Tarvelon.lnk";
  ASSERT_TRUE(CreateShortcut(target, link, "", "Tarvelon Workbench", 0));
  const auto saved = M.Shell().Link(link);
  ASSERT_TRUE(saved.has_value());
  EXPECT_EQ(saved->Target, target);
  EXPECT_EQ(saved->WorkingDirectory, "C:\\Program Files\\My Apps\\");
  EXPECT_EQ(saved->Arguments, "");
  EXPECT_EQ(saved->Description, "Tarvelon Workbench");
  EXPECT_EQ(saved->ShowCommand, 5);
  EXPECT_EQ(saved->IconPath, target);
  EXPECT_EQ(saved->IconIndex, 0);
  EXPECT_TRUE(M.Files().IsFile(link));
}

TEST_F(ShortcutsTest, EveryLinkFailureIsFalseWithoutABox) {
  const std::string link = fixture::kCommonDesktop + "\\Tarvelon.lnk";
  for (auto result : {platform::LinkResult::ObjectNotCreated, platform::LinkResult::InterfaceRefused,
                      platform::LinkResult::SaveFailed}) {
    M.Shell().FailLinks(result, link);
    EXPECT_FALSE(CreateShortcut("C:\\a\\b.exe", link, "", "d", 0));
  }
  EXPECT_FALSE(CreateShortcut("C:\\a\\b.exe", "C:\\no such folder\\x.lnk", "", "d", 0));
  EXPECT_TRUE(Boxes().empty());
}

// The tree goes entry by entry, deepest first, and never through the shell, which would follow
// a link in it.
TEST_F(ShortcutsTest, FolderTreeRemovalRemovesEveryEntryItself) {
  const std::string group = fixture::kCommonPrograms + "\\Tarvelon\\";
  M.Files().PutFile(group + "sub\\deep\\file.txt", "x");
  M.Files().PutFile(group + "Tarvelon.lnk", "x");
  M.Files().PutFile(fixture::kCommonPrograms + "\\Tarvelon.txt", "neighbour");
  EXPECT_TRUE(DeleteFolderTree(group));
  EXPECT_FALSE(M.Files().IsFolder(group));
  EXPECT_TRUE(M.Files().IsFile(fixture::kCommonPrograms + "\\Tarvelon.txt"));
  EXPECT_TRUE(M.Shell().FileOperations().empty());
  EXPECT_EQ(M.Log().Lines({"RemoveEntry"}),
            (std::vector<std::string>{"RemoveEntry " + group + "sub\\deep\\file.txt",
                                      "RemoveEntry " + group + "sub\\deep", "RemoveEntry " + group + "sub",
                                      "RemoveEntry " + group + "Tarvelon.lnk",
                                      "RemoveEntry " + StripBackslash(group)}));
}

TEST_F(ShortcutsTest, MissingFolderIsNoErrorAndNoShellCall) {
  EXPECT_FALSE(DeleteFolderTree(fixture::kCommonPrograms + "\\Nothing\\"));
  EXPECT_TRUE(M.Shell().FileOperations().empty());
  EXPECT_TRUE(M.Log().Lines({"RemoveEntry"}).empty());
}

TEST_F(ShortcutsTest, AFileInThePlaceOfTheGroupStays) {
  const std::string group = fixture::kCommonPrograms + "\\Tarvelon";
  M.Files().PutFile(group, "a file of that name, not a group");
  EXPECT_FALSE(DeleteFolderTree(group + "\\"));
  EXPECT_TRUE(M.Files().IsFile(group));
}

TEST_F(ShortcutsTest, FileTheShellCannotDeleteFailsTheRemoval) {
  const std::string group = fixture::kCommonPrograms + "\\Tarvelon\\";
  M.Files().PutFile(group + "locked.txt", "x");
  auto hold = M.Files().HoldOpen(group + "locked.txt", platform::ShareMode::None);
  EXPECT_FALSE(DeleteFolderTree(group));
  EXPECT_TRUE(M.Files().IsFile(group + "locked.txt"));
}

// A base folder the registry did not name must never turn into the current directory.
TEST_F(ShortcutsTest, PathsWithoutAFolderPartAreNeverTouched) {
  M.Files().PutFile("C:\\Tarvelon\\keep.txt", "mine");
  ASSERT_TRUE(M.Machine().Sys.SetCurrentDirectory("C:\\"));
  EXPECT_FALSE(DeleteFolderTree("Tarvelon\\"));
  EXPECT_FALSE(CreateShortcut("C:\\x\\Tarvelon.exe", "Tarvelon.lnk", "", "d", 0));
  CreateWebsiteShortcut("Tarvelon\\site.url", "https://example.test");
  EXPECT_TRUE(M.Files().IsFile("C:\\Tarvelon\\keep.txt"));
  EXPECT_FALSE(M.Files().IsFile("C:\\Tarvelon.lnk"));
  EXPECT_FALSE(M.Files().IsFile("C:\\Tarvelon\\site.url"));
  EXPECT_TRUE(M.Shell().FileOperations().empty());
  EXPECT_TRUE(M.Log().Lines({"RemoveEntry"}).empty());
}

}  // namespace
