// The copy loop and the install transaction: order of steps, early stops, the end state.
#include <gtest/gtest.h>

#include <algorithm>

#include "install/install_files.h"
#include "install/install_program.h"
#include "setup_fixture.h"
#include "ui/language_files.h"

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

// The three variants of the texts: a language file when one is active, else the UI language.
// An installed newer program asks, and the next files follow the answer.
TEST_F(CopyLoopTest, CaptionAndOlderFileQuestionPerLanguage) {
  M.Files().PutFile(fixture::kInstallDir + "language\\deutsch.lng",
                    "[filesinstall]\r\nDateien kopieren\r\n[soundquest]\r\nFrage\r\n"
                    "[olderfilever]\r\nDie Datei %1 ist neuer\r\n\r\n");
  const std::string target = fixture::kInstallDir + "Tarvelon.exe";
  struct Row {
    const char* name;
    bool russian;
    bool languageFile;
    std::string caption;
    std::string questionCaption;
    std::string questionEnd;  // the versions, in the variant's order
    bool ex;
    std::uint16_t languageId;
  };
  const Row rows[] = {
      {"English", false, false, "Tarvelon 1.0.1 files copying...", "Sound question",
       "new file version 1.0.2.0 with an older file version 1.0.1.0?", false, 0},
      {"Russian", true, false,
       "\xD3\xF1\xF2\xE0\xED\xEE\xE2\xEA\xE0 \xF4\xE0\xE9\xEB\xEE\xE2 \xD2\xE0\xF0\xE2\xE5\xEB"
       "\xEE\xED 1.0.1",
       "\xD0\xE5\xE7\xEE\xED\xED\xFB\xE9 \xE2\xEE\xEF\xF0\xEE\xF1",
       " 1.0.2.0 \xED\xE0 \xE1\xEE\xEB\xE5\xE5 \xF1\xF2\xE0\xF0\xFB\xE9 \xE2\xE5\xF0\xF1\xE8"
       "\xE8 1.0.1.0?",
       true, 25},
      {"language file", false, true, "Dateien kopieren...", "Frage",
       "Die Datei " + target + " ist neuer\r\n1.0.1.0<1.0.2.0", true, 0x0407},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    SetupState.UiRussian = row.russian;
    DoneLanguageFiles();
    if (row.languageFile) SetLanguageTable({{"deutsch.lng"}, 0, 0, 0, 0x0407});
    const std::string installed = sim::MakeExecutableWithFileVersion("1.0.2.0") + "installed";
    M.Files().PutFile(target, installed);
    M.Files().Remove(fixture::kInstallDir + "Tarvelon.bar");
    SetupState.FileList = "Tarvelon.exe;Tarvelon.bar;";
    const std::size_t callsBefore = M.Progress().Calls().size();
    const std::size_t boxesBefore = Boxes().size();
    M.Dialogs().QueueAnswer(win::kIdNo);

    ASSERT_TRUE(InstallFiles());
    EXPECT_EQ(M.Progress().Calls()[callsBefore].Caption, row.caption);
    ASSERT_EQ(Boxes().size(), boxesBefore + 1);
    const sim::ShownBox& box = Boxes().back();
    EXPECT_EQ(box.Caption, row.questionCaption);
    const std::string& text = box.Text;
    if (row.languageFile) {
      EXPECT_EQ(text, row.questionEnd);
    } else {
      ASSERT_GE(text.size(), row.questionEnd.size());
      EXPECT_EQ(text.substr(text.size() - row.questionEnd.size()), row.questionEnd);
    }
    EXPECT_EQ(box.Flags, 270372u);
    EXPECT_EQ(box.Ex, row.ex);
    EXPECT_EQ(box.LanguageId, row.languageId);
    EXPECT_EQ(File(target), installed);
    EXPECT_EQ(File(fixture::kInstallDir + "Tarvelon.bar"), BarBytes);
  }
  DoneLanguageFiles();
}

// Yes to the question, then the installed file cannot be replaced: the window stays hidden
// while the rest of the list is written.
TEST_F(CopyLoopTest, WindowStaysHiddenAfterAQuestionAndAFailure) {
  const std::string target = fixture::kInstallDir + "Tarvelon.exe";
  M.Files().PutFile(target, sim::MakeExecutableWithFileVersion("1.0.2.0"));
  M.Files().SetReadOnly(target, true);
  M.Dialogs().QueueAnswer(win::kIdYes);
  ASSERT_TRUE(InstallFiles());
  const auto trace = ProgressTrace();
  EXPECT_EQ(std::count_if(trace.begin(), trace.end(),
                          [](const std::string& line) { return line.rfind("ShowProgress", 0) == 0; }),
            1);
  const auto hidden = std::find(trace.begin(), trace.end(), "HideWindow");
  ASSERT_NE(hidden, trace.end());
  EXPECT_EQ(*std::next(hidden), "SetPosition 1");
  EXPECT_EQ(File(fixture::kInstallDir + "Uninstall.exe"), UninstallerBytes);
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
      "RemoveEntry " + fixture::kUserPrograms + "\\Tarvelon",
      "RemoveEntry " + fixture::kCommonPrograms + "\\" + fixture::kTarvelonRu,
      "RemoveEntry " + fixture::kCommonPrograms + "\\Tarvelon",
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

// Both user groups, the other language's group and the group itself, all present: removed in
// this order, each one, in either UI language.
TEST_F(TransactionTest, OldGroupsAreRemovedInTheirOrder) {
  const std::string en = "Tarvelon", ru = fixture::kTarvelonRu;
  const std::string user = fixture::kUserPrograms + "\\", common = fixture::kCommonPrograms + "\\";
  struct Row {
    const char* name;
    bool russian;
    std::vector<std::string> removed;  // in order; the last is the group made again
  };
  const Row rows[] = {
      {"English UI", false, {user + en, user + ru, common + ru, common + en}},
      {"Russian UI", true, {user + en, user + ru, common + en, common + ru}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    SetupState.UiRussian = row.russian;
    ASSERT_TRUE(DetectFolders());
    SetupState.FileList = "Tarvelon.car;";
    for (const std::string& folder : row.removed) M.Files().PutFile(folder + "\\old.lnk", "old");
    const std::size_t before = M.Log().Calls().size();
    ASSERT_TRUE(InstallProgram(true));
    std::vector<std::string> removed;  // the group folders themselves, after their entries
    for (std::size_t i = before; i < M.Log().Calls().size(); ++i) {
      const sim::LoggedCall& call = M.Log().Calls()[i];
      if (call.Operation == "RemoveEntry" &&
          std::count(row.removed.begin(), row.removed.end(), call.Target))
        removed.push_back(call.Target);
    }
    EXPECT_EQ(removed, row.removed);
    for (std::size_t i = 0; i + 1 < row.removed.size(); ++i)
      EXPECT_FALSE(M.Files().IsFolder(row.removed[i])) << row.removed[i];
    EXPECT_EQ(M.Files().ListFolder(row.removed.back()).size(), 3u);
    EXPECT_TRUE(M.Files().IsFile(fixture::kCommonDesktop + "\\" + (row.russian ? ru : en) + ".lnk"));
  }
}

// The uninstall key is closed after the uninstall link and before the website shortcut.
TEST_F(TransactionTest, UninstallKeyIsClosedBeforeTheWebsiteShortcut) {
  const std::size_t before = M.Log().Calls().size();
  ASSERT_TRUE(InstallProgram(true));
  std::vector<std::string> tail;
  for (std::size_t i = before; i < M.Log().Calls().size(); ++i) {
    const sim::LoggedCall& call = M.Log().Calls()[i];
    if (call.Operation == "SaveShellLink" || call.Operation == "RegCloseKey" ||
        (call.Operation == "CreateForWrite" && call.Target.rfind(kGroup, 0) == 0))
      tail.push_back(call.Operation + " " + call.Target);
  }
  EXPECT_EQ(tail, (std::vector<std::string>{
                      "SaveShellLink " + kGroup + "Tarvelon.lnk",
                      "SaveShellLink " + fixture::kCommonDesktop + "\\Tarvelon.lnk",
                      "SaveShellLink " + kGroup + "Uninstall the program.lnk",
                      "RegCloseKey HKLM\\" + fixture::kUninstallKey,
                      "CreateForWrite " + kGroup + "Program's website.url"}));
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

// The group is then the user group of the UI language: removed by the first row that names
// it, the later rows find nothing.
TEST_F(TransactionTest, GroupInTheUsersOwnFolderIsRemovedOnceAndMadeAgain) {
  M.Registry().PlantString(RootKey::LocalMachine, fixture::kShellFolders, "Common Programs", "");
  struct Row { const char* name; bool russian; std::string shortName; };
  for (const Row& row : {Row{"English", false, "Tarvelon"}, Row{"Russian", true, fixture::kTarvelonRu}}) {
    SCOPED_TRACE(row.name);
    SetupState.UiRussian = row.russian;
    DetectFolders();
    SetupState.FileList = "Tarvelon.car;";
    const std::string group = fixture::kUserPrograms + "\\" + row.shortName + "\\";
    ASSERT_EQ(SetupState.GroupDir, group);
    M.Files().Remove(fixture::kUserPrograms);  // no group of the row before
    M.Files().MakeFolders(fixture::kUserPrograms);
    M.Files().PutFile(group + "old.lnk", "x");
    const std::size_t before = M.Log().Calls().size();
    ASSERT_TRUE(InstallProgram(true));
    std::vector<std::string> removed;
    for (std::size_t i = before; i < M.Log().Calls().size(); ++i)
      if (M.Log().Calls()[i].Operation == "RemoveEntry") removed.push_back(M.Log().Calls()[i].Target);
    EXPECT_EQ(removed, (std::vector<std::string>{group + "old.lnk", StripBackslash(group)}));
    EXPECT_EQ(M.Files().ListFolder(group).size(), 3u);
  }
}

TEST_F(TransactionTest, InstallationFolderWithoutItsParentIsNotCreated) {
  M.Files().Remove(fixture::kProgramFiles);
  ASSERT_TRUE(InstallProgram(true));
  EXPECT_FALSE(M.Files().IsFolder(fixture::kProgramFiles));
  EXPECT_FALSE(M.Files().IsFolder(fixture::kInstallDir));
  ASSERT_EQ(Boxes().size(), 4u);
  EXPECT_EQ(Boxes()[0].Text, "Can't install " + fixture::kInstallDir + "Tarvelon.exe");
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
  EXPECT_TRUE(M.Log().Lines({"RemoveEntry", "CreateDirectory", "CreateForWrite"}).empty());
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
