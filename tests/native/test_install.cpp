// The copy loop and the install transaction: order of steps, early stops, the end state.
#include <gtest/gtest.h>

#include "install/install_files.h"
#include "install/install_program.h"
#include "setup_fixture.h"

namespace {

using fixture::RootKey;
using fixture::SetupTest;

const std::string kGroup = fixture::kCommonPrograms + "\\Tarvelon\\";
const std::string kNoRightsEn =
    "You have no right to add/remove programs!\r\nPlease contact your system administrator.";

class CopyLoopTest : public SetupTest {
 protected:
  void SetUp() override {
    PrepareInstall();
    M.Files().MakeFolders(fixture::kInstallDir);
  }
  std::vector<std::string> ProgressTrace() {
    std::vector<std::string> trace;
    for (const auto& call : M.Progress().Calls()) {
      std::string line = call.Operation;
      if (call.Operation == "ShowProgress") line += " " + call.Caption + "|" + call.Status;
      if (call.Operation == "SetStatus") line += " " + call.Status;
      if (call.Operation == "SetRange" || call.Operation == "SetPosition")
        line += " " + std::to_string(call.Number);
      trace.push_back(line);
    }
    return trace;
  }
};

TEST_F(CopyLoopTest, ThisProductsFourFilesWithTheWindowShowingTheWay) {
  ASSERT_TRUE(InstallFiles());
  const std::string d = fixture::kInstallDir;
  EXPECT_EQ(ProgressTrace(),
            (std::vector<std::string>{
                "ShowProgress Tarvelon 1.0.1 files copying...|", "SetPosition 0", "SetRange 4",
                "SetStatus " + d + "Tarvelon.exe", "SetPosition 1",
                "SetStatus " + d + "Tarvelon.bar", "SetPosition 2",
                "SetStatus " + d + "Tarvelon.car", "SetPosition 3",
                "SetStatus " + d + "Uninstall.exe", "SetPosition 4", "HideWindow"}));
  EXPECT_EQ(File(d + "Tarvelon.exe"), ProgramBytes);
  EXPECT_EQ(File(d + "Tarvelon.bar"), BarBytes);
  EXPECT_EQ(File(d + "Tarvelon.car"), CarBytes);
  EXPECT_EQ(File(d + "Uninstall.exe"), UninstallerBytes);
  EXPECT_EQ(SetupState.FileList, "");
  // One pause per file that is in place; no registry write from the loop.
  EXPECT_EQ(M.System().Sleeps(), (std::vector<std::uint32_t>{128, 128, 128, 128}));
  EXPECT_TRUE(M.Log().Lines({"RegSetValue", "RegCreateKey"}).empty());
  EXPECT_FALSE(M.Progress().Visible());
}

TEST_F(CopyLoopTest, RussianCaption) {
  SetupState.UiRussian = true;
  ASSERT_TRUE(InstallFiles());
  EXPECT_EQ(ProgressTrace()[0], "ShowProgress \xD3\xF1\xF2\xE0\xED\xEE\xE2\xEA\xE0 "
                                "\xF4\xE0\xE9\xEB\xEE\xE2 \xD2\xE0\xF0\xE2\xE5\xEB\xEE\xED 1.0.1|");
}

TEST_F(CopyLoopTest, ListWithoutAnEntryOpensNoWindow) {
  for (const char* list : {"", "Tarvelon.exe"}) {
    SCOPED_TRACE(list);
    SetupState.FileList = list;
    EXPECT_FALSE(InstallFiles());
    EXPECT_TRUE(M.Progress().Calls().empty());
    EXPECT_TRUE(Boxes().empty());
  }
}

TEST_F(CopyLoopTest, TextAfterTheLastSemicolonIsNoEntry) {
  SetupState.FileList = "Tarvelon.car;Tarvelon.bar";
  ASSERT_TRUE(InstallFiles());
  EXPECT_TRUE(M.Files().IsFile(fixture::kInstallDir + "Tarvelon.car"));
  EXPECT_FALSE(M.Files().IsFile(fixture::kInstallDir + "Tarvelon.bar"));
  EXPECT_EQ(SetupState.FileList, "Tarvelon.bar");
}

TEST_F(CopyLoopTest, LanguageFilesGoToTheirFolderCreatedFirst) {
  M.Resources().AddResource("LNG", "RUS_CODES", "[langver]\r\n3\r\n");
  M.Resources().AddResource("LNG", "RUS", "upper-case extension");
  SetupState.FileList = "rus_codes.lng;RUS.LNG;";
  ASSERT_TRUE(InstallFiles());
  EXPECT_EQ(File(fixture::kInstallDir + "language\\rus_!codes.lng"), "[langver]\r\n3\r\n");
  EXPECT_EQ(File(fixture::kInstallDir + "RUS.LNG"), "upper-case extension");
  const auto folders = M.Log().Lines({"CreateDirectory"});
  ASSERT_EQ(folders.size(), 1u);
  EXPECT_EQ(folders[0], "CreateDirectory " + fixture::kInstallDir + "language");

  // Only lower-case "lng" asks for the language folder.
  M.Files().Remove(fixture::kInstallDir + "language");
  SetupState.FileList = "RUS.LNG;";
  ASSERT_TRUE(InstallFiles());
  EXPECT_FALSE(M.Files().IsFolder(fixture::kInstallDir + "language"));
}

TEST_F(CopyLoopTest, LanguageFolderThatCannotBeCreatedStopsTheLoop) {
  M.Files().FailOperation(sim::FileOp::CreateDirectory);
  M.Resources().AddResource("LNG", "ENG", "x");
  SetupState.FileList = "eng.lng;Tarvelon.exe;";
  EXPECT_FALSE(InstallFiles());
  ASSERT_EQ(Boxes().size(), 1u);
  EXPECT_EQ(Boxes()[0].Text, "Can't create " + fixture::kInstallDir + "language\\.");
  EXPECT_TRUE(M.Log().Lines({"CreateForWrite"}).empty());
}

TEST_F(CopyLoopTest, EntryWithAFolderIsWrittenToExactlyThatPath) {
  M.Files().MakeFolders("D:\\Other");
  SetupState.FileList = "D:\\Other\\Tarvelon.car;";
  ASSERT_TRUE(InstallFiles());
  EXPECT_EQ(File("D:\\Other\\Tarvelon.car"), CarBytes);
}

TEST_F(CopyLoopTest, FileThatNeverComesEndsItsWaitAndTheLoopGoesOn) {
  M.Files().Remove(fixture::kInstallDir);  // every direct write fails
  ASSERT_TRUE(InstallFiles());
  EXPECT_EQ(Boxes().size(), 4u);
  for (const auto& box : Boxes()) EXPECT_EQ(box.Text.rfind("Can't install ", 0), 0u);
  // Bounded: a few pauses per missing file, never an endless wait.
  EXPECT_EQ(M.System().Sleeps().size(), 4u * 8u);
  EXPECT_EQ(SetupState.FileList, "");
}

TEST_F(CopyLoopTest, RewriteOfInstallValuesGoesToTheEntryFromTheRoot) {
  SetupState.RewriteInstallValues = true;
  SetupState.VersionMajor = 3;
  // A key the transaction still holds open must not be the base of the path.
  SetupState.Registry->SetRootKey(RootKey::LocalMachine);
  ASSERT_TRUE(SetupState.Registry->OpenKey("Software", true));
  ASSERT_TRUE(InstallFiles());
  EXPECT_EQ(M.Registry().ValueNames(RootKey::LocalMachine, fixture::kUninstallKey),
            (std::vector<std::string>{"VersionMajor", "InstallLocation"}));
  EXPECT_EQ(*M.Registry().StringValue(RootKey::LocalMachine, fixture::kUninstallKey,
                                      "InstallLocation"),
            "C:\\Program Files\\Tarvelon");
  EXPECT_EQ(M.Registry().OpenKeyCount(), 0);
}

class TransactionTest : public SetupTest {
 protected:
  void SetUp() override { PrepareInstall(); }
};

TEST_F(TransactionTest, FreshInstallLeavesEverythingInPlace) {
  ASSERT_TRUE(InstallProgram(true));
  EXPECT_TRUE(Boxes().empty());
  EXPECT_EQ(M.Files().ListFolder(kGroup),
            (std::vector<std::string>{"Program's website.url", "Tarvelon.lnk",
                                      "Uninstall the program.lnk"}));
  EXPECT_EQ(File(kGroup + "Program's website.url"),
            "[InternetShortcut]\r\nURL=" + SetupState.WebsiteUrl + "\r\n");
  const auto program = M.Shell().Link(kGroup + "Tarvelon.lnk");
  ASSERT_TRUE(program.has_value());
  EXPECT_EQ(program->Target, fixture::kInstallDir + "Tarvelon.exe");
  EXPECT_EQ(program->Description, "Tarvelon Workbench");
  const auto uninstall = M.Shell().Link(kGroup + "Uninstall the program.lnk");
  ASSERT_TRUE(uninstall.has_value());
  EXPECT_EQ(uninstall->Target, fixture::kInstallDir + "Uninstall.exe");
  EXPECT_EQ(uninstall->Description, "Tarvelon Workbench");
  ASSERT_TRUE(M.Shell().Link(fixture::kCommonDesktop + "\\Tarvelon.lnk").has_value());
  EXPECT_EQ(File(fixture::kInstallDir + "Tarvelon.bar"), BarBytes);
  EXPECT_EQ(M.Registry().ValueNames(RootKey::LocalMachine, fixture::kUninstallKey).size(), 10u);
  EXPECT_EQ(M.Registry().OpenKeyCount(), 0);
}

TEST_F(TransactionTest, StepsRunInTheirOrder) {
  M.Files().MakeFolders(fixture::kUserPrograms + "\\Tarvelon");
  M.Files().MakeFolders(fixture::kCommonPrograms + "\\" + fixture::kTarvelonRu);
  M.Files().MakeFolders(kGroup);
  ASSERT_TRUE(InstallProgram(true));
  std::vector<std::string> steps;
  for (const auto& call : M.Log().Calls()) {
    if (call.Index < 0 || call.Operation == "RegSetValue" || call.Operation == "Write") continue;
    steps.push_back(call.Operation + " " + call.Target);
  }
  const std::string d = fixture::kInstallDir;
  const std::vector<std::string> expected = {
      "RegCreateKey HKLM\\" + fixture::kUninstallKey,
      "ShellFileOperation " + fixture::kUserPrograms + "\\Tarvelon",
      "ShellFileOperation " + fixture::kCommonPrograms + "\\" + fixture::kTarvelonRu,
      "ShellFileOperation " + fixture::kCommonPrograms + "\\Tarvelon",
      "CreateDirectory " + fixture::kCommonPrograms + "\\Tarvelon",
      "CreateDirectory C:\\Program Files\\Tarvelon",
      "CreateForWrite " + d + "Tarvelon.exe",
      "CreateForWrite " + d + "Tarvelon.bar",
      "CreateForWrite " + d + "Tarvelon.car",
      "CreateForWrite " + d + "Uninstall.exe",
      "SaveShellLink " + kGroup + "Tarvelon.lnk",
      "SaveShellLink " + fixture::kCommonDesktop + "\\Tarvelon.lnk",
      "SaveShellLink " + kGroup + "Uninstall the program.lnk",
      "CreateForWrite " + kGroup + "Program's website.url"};
  EXPECT_EQ(steps, expected);
}

TEST_F(TransactionTest, RussianNamesAndNoDesktopLinkWithoutTheSwitch) {
  SetupState.UiRussian = true;
  DetectFolders();
  ASSERT_TRUE(InstallProgram(false));
  const std::string group = fixture::kCommonPrograms + "\\" + fixture::kTarvelonRu + "\\";
  EXPECT_EQ(M.Files().ListFolder(group),
            (std::vector<std::string>{
                "\xC8\xED\xF2\xE5\xF0\xED\xE5\xF2-\xF1\xE0\xE9\xF2 \xEF\xF0\xEE\xE3\xF0\xE0\xEC\xEC\xFB.url",
                fixture::kTarvelonRu + ".lnk",
                "\xD3\xE4\xE0\xEB\xE5\xED\xE8\xE5 \xEF\xF0\xEE\xE3\xF0\xE0\xEC\xEC\xFB.lnk"}));
  EXPECT_EQ(M.Shell().Link(group + fixture::kTarvelonRu + ".lnk")->Description,
            "\xD0\xE0\xE1\xEE\xF7\xE5\xE5 \xEC\xE5\xF1\xF2\xEE \xD2\xE0\xF0\xE2\xE5\xEB\xEE\xED");
  EXPECT_TRUE(M.Files().ListFolder(fixture::kCommonDesktop).empty());
}

TEST_F(TransactionTest, ReinstallEmptiesTheGroupButNeverTheDesktop) {
  M.Files().PutFile(kGroup + "user notes.txt", "mine");
  M.Files().PutFile(fixture::kCommonDesktop + "\\other.lnk", "another program");
  M.Files().PutFile(fixture::kCommonDesktop + "\\Tarvelon.lnk", "old link");
  ASSERT_TRUE(InstallProgram(true));
  EXPECT_EQ(M.Files().ListFolder(kGroup).size(), 3u);
  EXPECT_EQ(File(fixture::kCommonDesktop + "\\other.lnk"), "another program");
  EXPECT_NE(File(fixture::kCommonDesktop + "\\Tarvelon.lnk"), "old link");
}

TEST_F(TransactionTest, GroupInTheUsersOwnFolderIsRemovedOnceAndMadeAgain) {
  M.Registry().PlantString(RootKey::LocalMachine, fixture::kShellFolders, "Common Programs", "");
  DetectFolders();
  const std::string group = fixture::kUserPrograms + "\\Tarvelon\\";
  ASSERT_EQ(SetupState.GroupDir, group);
  M.Files().PutFile(group + "old.lnk", "x");
  ASSERT_TRUE(InstallProgram(true));
  EXPECT_EQ(M.Shell().FileOperations().size(), 1u);
  EXPECT_EQ(M.Files().ListFolder(group).size(), 3u);
}

TEST_F(TransactionTest, NoProgramFilesFolderStopsBeforeAnyChange) {
  SetupState.ProgramFilesKnown = false;
  EXPECT_FALSE(InstallProgram(true));
  ASSERT_EQ(Boxes().size(), 1u);
  EXPECT_EQ(Boxes()[0].Text, kNoRightsEn);
  EXPECT_EQ(M.Log().OperationCount(), 0);
}

TEST_F(TransactionTest, RefusedRegistryStopsBeforeAnyFolderIsTouched) {
  M.Files().MakeFolders(kGroup);
  M.Registry().SetUserIsAdministrator(false);
  EXPECT_FALSE(InstallProgram(true));
  ASSERT_EQ(Boxes().size(), 1u);
  EXPECT_EQ(Boxes()[0].Text, kNoRightsEn);
  EXPECT_TRUE(M.Files().IsFolder(kGroup));
  EXPECT_TRUE(M.Log().Lines({"ShellFileOperation", "CreateDirectory", "CreateForWrite"}).empty());
  EXPECT_EQ(M.Registry().OpenKeyCount(), 0);
}

TEST_F(TransactionTest, FailedCopyLoopStopsSilentlyWithoutShortcuts) {
  SetupState.FileList = "";
  EXPECT_FALSE(InstallProgram(true));
  EXPECT_TRUE(Boxes().empty());
  EXPECT_TRUE(M.Shell().SavedLinks().empty());
  EXPECT_EQ(M.Registry().ValueNames(RootKey::LocalMachine, fixture::kUninstallKey).size(), 10u);
  EXPECT_TRUE(M.Files().IsFolder(fixture::kInstallDir));
  EXPECT_EQ(M.Registry().OpenKeyCount(), 0);
}

TEST_F(TransactionTest, GroupThatCannotBeCreatedCostsOnlyItsEntries) {
  M.Files().Remove(fixture::kCommonPrograms);
  ASSERT_TRUE(InstallProgram(true));
  EXPECT_TRUE(Boxes().empty());
  EXPECT_FALSE(M.Files().IsFolder(kGroup));
  EXPECT_EQ(File(fixture::kInstallDir + "Tarvelon.exe"), ProgramBytes);
  EXPECT_TRUE(M.Shell().Link(fixture::kCommonDesktop + "\\Tarvelon.lnk").has_value());
}

TEST_F(TransactionTest, EmptyDesktopFolderSkipsTheDesktopLink) {
  SetupState.CommonDesktopDir = "";
  ASSERT_TRUE(InstallProgram(true));
  EXPECT_EQ(M.Shell().SavedLinks().size(), 2u);
}

// The system refuses the progress window's thread: no window, and the copy goes on to the end.
TEST_F(TransactionTest, InstallationWithoutAProgressThreadCompletes) {
  M.Progress().RefuseThreadStart();
  ASSERT_TRUE(InstallProgram(true));
  EXPECT_FALSE(M.Progress().Started());
  EXPECT_FALSE(M.Progress().Visible());
  EXPECT_TRUE(Boxes().empty());
  EXPECT_EQ(File(fixture::kInstallDir + "Tarvelon.exe"), ProgramBytes);
  EXPECT_EQ(File(fixture::kInstallDir + "Tarvelon.bar"), BarBytes);
  EXPECT_EQ(File(fixture::kInstallDir + "Tarvelon.car"), CarBytes);
  EXPECT_EQ(File(fixture::kInstallDir + "Uninstall.exe"), UninstallerBytes);
  EXPECT_TRUE(M.Files().IsFile(kGroup + "Tarvelon.lnk"));
}

}  // namespace
