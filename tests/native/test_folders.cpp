// Folder discovery: where the product goes on machines of every kind.
#include <gtest/gtest.h>

#include "setup_fixture.h"

namespace {

using fixture::RootKey;
using fixture::SetupTest;

class FoldersTest : public SetupTest {
 protected:
  bool Detect() {
    InitSetupState();
    FillProductDefinition();
    return DetectFolders();
  }
  void Plant(RootKey root, const std::string& key, const std::string& name, const std::string& v) {
    M.Registry().PlantString(root, key, name, v);
  }
};

TEST_F(FoldersTest, WorkedExampleInEnglishAndRussian) {
  Plant(RootKey::LocalMachine, fixture::kCurrentVersion, "ProgramFilesDir", "C:\\Program Files");
  Plant(RootKey::LocalMachine, fixture::kShellFolders, "Common Programs",
        "C:\\Documents and Settings\\All Users\\Start Menu\\Programs");
  const std::string programs = "C:\\Documents and Settings\\All Users\\Start Menu\\Programs\\";
  ASSERT_TRUE(Detect());
  const TSetupState& s = SetupState;
  EXPECT_TRUE(s.ProgramFilesKnown);
  EXPECT_EQ(s.InstallDir, "C:\\Program Files\\Tarvelon\\");
  EXPECT_EQ(s.GroupDir, programs + "Tarvelon\\");
  EXPECT_EQ(s.OtherGroupDir, programs + fixture::kTarvelonRu + "\\");
  EXPECT_EQ(s.UserGroupDirEn, fixture::kUserPrograms + "\\Tarvelon\\");
  EXPECT_EQ(s.UserGroupDirRu, fixture::kUserPrograms + "\\" + fixture::kTarvelonRu + "\\");
  EXPECT_EQ(s.CommonDesktopDir, fixture::kCommonDesktop + "\\");
  EXPECT_EQ(s.UninstallRoot, "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\");
  // Every key is closed again and the root is the machine's.
  EXPECT_EQ(M.Registry().OpenKeyCount(), 0);
  EXPECT_EQ(s.Registry->RootKey(), RootKey::LocalMachine);
  EXPECT_FALSE(s.Registry->HasCurrentKey());
  DoneSetupState();

  UseRussian();
  ASSERT_TRUE(Detect());
  EXPECT_EQ(SetupState.GroupDir, programs + fixture::kTarvelonRu + "\\");
  EXPECT_EQ(SetupState.OtherGroupDir, programs + "Tarvelon\\");
  EXPECT_EQ(SetupState.UserGroupDirEn, fixture::kUserPrograms + "\\Tarvelon\\");
  EXPECT_EQ(SetupState.UserGroupDirRu, fixture::kUserPrograms + "\\" + fixture::kTarvelonRu + "\\");
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(FoldersTest, OutsideTheNtFamilyTheGroupIsTheUsersOwn) {
  M.System().SetPlatformId(win::kPlatformWin32Windows);
  ASSERT_TRUE(Detect());
  EXPECT_EQ(SetupState.CommonProgramsDir, fixture::kUserPrograms + "\\");
  EXPECT_EQ(SetupState.GroupDir, fixture::kUserPrograms + "\\Tarvelon\\");
  EXPECT_EQ(SetupState.GroupDir, SetupState.UserGroupDirEn);
}

TEST_F(FoldersTest, CommonProgramsFallsBackBelowTwoCharacters) {
  struct Row { const char* value; std::string expected; };
  const Row rows[] = {{"\\", fixture::kUserPrograms + "\\"},
                      {"", fixture::kUserPrograms + "\\"},
                      {"C", "C\\"}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.value);
    Plant(RootKey::LocalMachine, fixture::kShellFolders, "Common Programs", row.value);
    ASSERT_TRUE(Detect());
    EXPECT_EQ(SetupState.CommonProgramsDir, row.expected);
    DoneSetupState();
  }
}

TEST_F(FoldersTest, MissingValuesLeaveTheirDependantsWithoutAFolderPart) {
  auto& reg = M.Registry();
  reg.DeleteKey(RootKey::LocalMachine, fixture::kShellFolders);
  reg.DeleteKey(RootKey::CurrentUser, fixture::kShellFolders);
  reg.DeleteKey(RootKey::LocalMachine, fixture::kCurrentVersion);
  ASSERT_TRUE(Detect());
  const TSetupState& s = SetupState;
  EXPECT_FALSE(s.ProgramFilesKnown);
  EXPECT_EQ(s.InstallDir, "Tarvelon\\");
  EXPECT_EQ(s.CommonDesktopDir, "");
  EXPECT_EQ(s.GroupDir, "Tarvelon\\");
  EXPECT_EQ(s.UserGroupDirRu, fixture::kTarvelonRu + "\\");
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(FoldersTest, UserWithoutAdministratorRightsSeesNoMessage) {
  M.Registry().SetUserIsAdministrator(false);
  M.Registry().PlantString(RootKey::LocalMachine, fixture::kUninstallKey, "UninstallString",
                           "D:\\Apps\\Tarvelon\\Uninstall.exe");
  ASSERT_TRUE(Detect());
  EXPECT_FALSE(SetupState.ProgramFilesKnown);
  EXPECT_EQ(SetupState.CommonDesktopDir, "");
  EXPECT_EQ(SetupState.CommonProgramsDir, fixture::kUserPrograms + "\\");
  EXPECT_EQ(SetupState.InstallDir, "Tarvelon\\");  // the earlier installation is not seen
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(FoldersTest, EarlierInstallationKeepsItsFolder) {
  struct Row { const char* value; const char* installDir; };
  const Row rows[] = {
      {"D:\\Apps\\Tarvelon\\Uninstall.exe", "D:\\Apps\\Tarvelon\\"},
      {"D:\\Apps\\Tarvelon\\", "D:\\Apps\\"},
      {"\"D:\\Apps\\Tarvelon\\Uninstall.exe\"", "D:\\Apps\\Tarvelon\\"},
      {"Uninstall.exe", "C:\\Program Files\\Tarvelon\\"},
      {"Apps\\Tarvelon\\Uninstall.exe", "C:\\Program Files\\Tarvelon\\"},
      {"\\Tarvelon\\Uninstall.exe", "C:\\Program Files\\Tarvelon\\"},
      {"\\\\server\\apps\\Tarvelon\\Uninstall.exe", "\\\\server\\apps\\Tarvelon\\"},
      {"", "C:\\Program Files\\Tarvelon\\"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.value);
    M.Registry().PlantString(RootKey::LocalMachine, fixture::kUninstallKey, "UninstallString",
                             row.value);
    ASSERT_TRUE(Detect());
    EXPECT_EQ(SetupState.InstallDir, row.installDir);
    EXPECT_EQ(M.Registry().OpenKeyCount(), 0);
    DoneSetupState();
  }
}

TEST_F(FoldersTest, ExpandableValuesAreTakenUnexpanded) {
  M.Registry().PlantValue(RootKey::LocalMachine, fixture::kCurrentVersion, "ProgramFilesDir",
                          win::kRegExpandSz, std::string("%SystemDrive%\\Apps\0", 20));
  ASSERT_TRUE(Detect());
  EXPECT_EQ(SetupState.InstallDir, "%SystemDrive%\\Apps\\Tarvelon\\");
}

TEST_F(FoldersTest, RegistryErrorsInTheSystemFoldersGiveOneBox) {
  struct Row { RootKey root; std::string key; const char* name; };
  const Row rows[] = {{RootKey::LocalMachine, fixture::kCurrentVersion, "ProgramFilesDir"},
                      {RootKey::LocalMachine, fixture::kShellFolders, "Common Desktop"},
                      {RootKey::LocalMachine, fixture::kShellFolders, "Common Programs"},
                      {RootKey::CurrentUser, fixture::kShellFolders, "Programs"}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    sim::SimMachine* machine = &M;
    const std::string saved = *machine->Registry().StringValue(row.root, row.key, row.name);
    machine->Registry().PlantDword(row.root, row.key, row.name, 1);
    const std::size_t before = Boxes().size();
    EXPECT_FALSE(Detect());
    ASSERT_EQ(Boxes().size(), before + 1);
    EXPECT_EQ(Boxes().back().Text, "No access to system registry");
    EXPECT_EQ(Boxes().back().Flags, 2097168u);
    machine->Registry().PlantString(row.root, row.key, row.name, saved);
    DoneSetupState();
  }
  // A read the registry refuses after the value was found is the same error, in Russian too.
  UseRussian();
  M.Registry().FailRead(RootKey::LocalMachine, fixture::kCurrentVersion, "ProgramFilesDir");
  EXPECT_FALSE(Detect());
  EXPECT_EQ(Boxes().back().Text,
            "\xCD\xE5\xF2 \xE4\xEE\xF1\xF2\xF3\xEF\xE0 \xEA \xF1\xE8\xF1\xF2\xE5\xEC\xED\xEE\xEC\xF3 "
            "\xF0\xE5\xE5\xF1\xF2\xF0\xF3");
  EXPECT_EQ(Boxes().back().Caption, fixture::kTarvelonRu);
}

TEST_F(FoldersTest, NonTextUninstallStringRaisesAfterClosingItsKey) {
  M.Registry().PlantDword(RootKey::LocalMachine, fixture::kUninstallKey, "UninstallString", 3);
  InitSetupState();
  FillProductDefinition();
  EXPECT_THROW(DetectFolders(), ERegistryError);
  EXPECT_EQ(M.Registry().OpenKeyCount(), 0);
}

}  // namespace
