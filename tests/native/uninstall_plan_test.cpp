#include "payload/uninstaller/uninstall_plan.h"

#include <algorithm>
#include <set>
#include <string>

#include <gtest/gtest.h>

#include "payload/common/ui_locale.h"
#include "payload/uninstaller/registered_copy.h"

namespace {

const char kCommonPrograms[] = "C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs";
const char kUserPrograms[] = "C:\\users\\ann\\Start Menu\\Programs\\";
const char kDesktop[] = "C:\\users\\Public\\Desktop";
const char kInstall[] = "C:\\Program Files\\Tarvelon";

TUninstallFolders TypicalFolders() {
  return {kInstall, std::string(kInstall) + "\\Uninstall.exe", kCommonPrograms, kUserPrograms, kDesktop};
}

bool Contains(const std::vector<std::string>& list, const std::string& item) {
  return std::find(list.begin(), list.end(), item) != list.end();
}

// A machine of files, folders (each with its final backslash) and one registry key.
class TFakeMachine : public TUninstallActions {
 public:
  // Locked: held open by a running program, neither deleted nor opened for delete.
  // Undeletable: opens, but the delete itself is refused.
  std::set<std::string> Files, Folders, Locked, Undeletable;
  bool KeyPresent = true, KeyDeletable = true;
  int KeyDeletions = 0;
  std::vector<std::string> Touched;  // every file looked at or deleted, in order

  void AddFile(const std::string& path) {
    Files.insert(path);
    for (std::size_t p = path.find('\\', 3); p != std::string::npos; p = path.find('\\', p + 1))
      Folders.insert(path.substr(0, p + 1));
  }
  bool FileExists(const std::string& path) override {
    Touched.push_back(path);
    return Files.count(path) != 0;
  }
  bool CanRemove(const std::string& path) override {
    Touched.push_back(path);
    return !Locked.count(path);
  }
  bool RemoveFile(const std::string& path) override {
    Touched.push_back(path);
    if (Locked.count(path) || Undeletable.count(path) || !Files.count(path)) return false;
    Files.erase(path);
    return true;
  }
  bool RemoveEmptyFolder(const std::string& dir) override {
    if (!Folders.count(dir)) return false;
    auto inside = [&](const std::string& p) { return p != dir && p.compare(0, dir.size(), dir) == 0; };
    if (std::any_of(Files.begin(), Files.end(), inside) || std::any_of(Folders.begin(), Folders.end(), inside))
      return false;
    Folders.erase(dir);
    return true;
  }
  bool DeleteMachineKey(const std::string&) override {
    ++KeyDeletions;
    if (!KeyDeletable) return false;
    KeyPresent = false;
    return true;
  }
};

// What an English install followed by a Russian one leaves: both common groups, both Desktop
// links, plus the user's own files beside them.
void Install(TFakeMachine& m) {
  const std::string common = std::string(kCommonPrograms) + "\\";
  for (const char* f : {"Tarvelon.exe", "Tarvelon.bar", "Tarvelon.car", "Uninstall.exe", "Tarvelon.exe0"})
    m.AddFile(std::string(kInstall) + "\\" + f);
  for (const char* f : {"Tarvelon.lnk", "Uninstall the program.lnk", "Program's website.url"})
    m.AddFile(common + "Tarvelon\\" + f);
  for (const char* f : {"Тарвелон.lnk", "Удаление программы.lnk", "Интернет-сайт программы.url"})
    m.AddFile(common + "Тарвелон\\" + f);
  m.AddFile(std::string(kDesktop) + "\\Tarvelon.lnk");
  m.AddFile(std::string(kDesktop) + "\\Тарвелон.lnk");
  m.AddFile(std::string(kDesktop) + "\\notes.txt");
}

}  // namespace

TEST(UninstallPlan, NamesProductFilesLeftoversAndKeepsItselfForLast) {
  const TUninstallPlan plan = BuildUninstallPlan(TypicalFolders());
  const std::string dir = std::string(kInstall) + "\\";
  EXPECT_EQ(plan.InstallDir, dir);
  EXPECT_EQ(plan.SelfPath, dir + "Uninstall.exe");
  for (const char* f : {"Tarvelon.exe", "Tarvelon.bar", "Tarvelon.car", "Tarvelon.exe0", "Tarvelon.bar0",
                        "Tarvelon.car0", "Uninstall.exe0"}) {
    SCOPED_TRACE(f);
    EXPECT_TRUE(Contains(plan.ProductFiles, dir + f));
  }
  EXPECT_EQ(plan.ProductFiles.size(), 7u);
  EXPECT_FALSE(Contains(plan.ProductFiles, plan.SelfPath));
  EXPECT_EQ(plan.UninstallKey, "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tarvelon");
}

TEST(UninstallPlan, GroupsCarryTheEntriesOfTheirOwnLanguage) {
  const TUninstallPlan plan = BuildUninstallPlan(TypicalFolders());
  ASSERT_EQ(plan.Groups.size(), 4u);
  const std::string common = std::string(kCommonPrograms) + "\\";
  EXPECT_EQ(plan.Groups[0].Dir, common + "Tarvelon\\");
  EXPECT_EQ(plan.Groups[0].Entries,
            (std::vector<std::string>{common + "Tarvelon\\Tarvelon.lnk", common + "Tarvelon\\Uninstall the program.lnk",
                                      common + "Tarvelon\\Program's website.url"}));
  EXPECT_EQ(plan.Groups[1].Dir, common + "Тарвелон\\");
  EXPECT_EQ(plan.Groups[1].Entries,
            (std::vector<std::string>{common + "Тарвелон\\Тарвелон.lnk", common + "Тарвелон\\Удаление программы.lnk",
                                      common + "Тарвелон\\Интернет-сайт программы.url"}));
  EXPECT_EQ(plan.Groups[2].Dir, std::string(kUserPrograms) + "Tarvelon\\");
  EXPECT_EQ(plan.Groups[3].Dir, std::string(kUserPrograms) + "Тарвелон\\");
  EXPECT_EQ(plan.DesktopLinks, (std::vector<std::string>{std::string(kDesktop) + "\\Tarvelon.lnk",
                                                         std::string(kDesktop) + "\\Тарвелон.lnk"}));
}

TEST(UninstallPlan, FoldersTheMachineDoesNotNameOrNamesTwice) {
  {
    SCOPED_TRACE("common Programs is the user's own, in other letter case and without backslash");
    TUninstallFolders folders = TypicalFolders();
    folders.CommonProgramsDir = "c:\\USERS\\ann\\Start Menu\\Programs";
    EXPECT_EQ(BuildUninstallPlan(folders).Groups.size(), 2u);
  }
  {
    SCOPED_TRACE("no Programs and no Desktop folder: nothing relative to the current folder");
    TUninstallFolders folders = {kInstall, std::string(kInstall) + "\\Uninstall.exe", "", "", ""};
    const TUninstallPlan plan = BuildUninstallPlan(folders);
    EXPECT_TRUE(plan.Groups.empty());
    EXPECT_TRUE(plan.DesktopLinks.empty());
  }
}

TEST(UninstallRun, RemovesWhatTheSetupMadeAndLeavesTheUsersFiles) {
  TFakeMachine m;
  Install(m);
  const std::string common = std::string(kCommonPrograms) + "\\";
  const std::string userFile = std::string(kInstall) + "\\my notes.txt";
  const std::string groupFile = common + "Tarvelon\\Read me first.txt";
  m.AddFile(userFile);
  m.AddFile(groupFile);

  const TUninstallOutcome outcome = RunUninstallPlan(BuildUninstallPlan(TypicalFolders()), m);

  EXPECT_TRUE(outcome.Complete);
  EXPECT_TRUE(outcome.NotRemoved.empty());
  EXPECT_FALSE(m.KeyPresent);
  // Left: the uninstaller (for the self-removal), the user's files and the folders holding them.
  EXPECT_EQ(m.Files, (std::set<std::string>{std::string(kInstall) + "\\Uninstall.exe", userFile, groupFile,
                                            std::string(kDesktop) + "\\notes.txt"}));
  EXPECT_TRUE(m.Folders.count(common + "Tarvelon\\"));
  EXPECT_FALSE(m.Folders.count(common + "Тарвелон\\"));
  EXPECT_TRUE(m.Folders.count(std::string(kInstall) + "\\"));
}

TEST(UninstallRun, ARunningProgramStopsBeforeAnythingIsRemoved) {
  for (const char* locked : {"Tarvelon.exe", "Tarvelon.car", "Tarvelon.exe0"}) {
    SCOPED_TRACE(locked);
    TFakeMachine m;
    Install(m);
    const std::string path = std::string(kInstall) + "\\" + locked;
    m.Locked.insert(path);
    const std::set<std::string> before = m.Files;

    const TUninstallOutcome outcome = RunUninstallPlan(BuildUninstallPlan(TypicalFolders()), m);

    EXPECT_FALSE(outcome.Complete);
    EXPECT_EQ(outcome.NotRemoved, std::vector<std::string>{path});
    EXPECT_TRUE(m.KeyPresent);
    // Not one file went: the product stays whole and usable until it can go whole.
    EXPECT_EQ(m.Files, before);
  }
}

TEST(UninstallRun, ALinkThatStaysKeepsTheEntry) {
  const std::string common = std::string(kCommonPrograms) + "\\";
  for (const std::string& link :
       {common + "Tarvelon\\Uninstall the program.lnk", std::string(kDesktop) + "\\Тарвелон.lnk"}) {
    SCOPED_TRACE(link);
    TFakeMachine m;
    Install(m);
    m.Undeletable.insert(link);
    const TUninstallPlan plan = BuildUninstallPlan(TypicalFolders());

    const TUninstallOutcome outcome = RunUninstallPlan(plan, m);

    EXPECT_FALSE(outcome.Complete);
    EXPECT_EQ(outcome.NotRemoved, std::vector<std::string>{link});
    // The entry still lists the uninstaller, so that the removal can be tried again.
    EXPECT_TRUE(m.KeyPresent);
    EXPECT_FALSE(m.Files.count(std::string(kInstall) + "\\Tarvelon.exe"));
  }
}

TEST(UninstallRun, ARefusedKeyIsReportedAfterTheLinksAreGone) {
  TFakeMachine m;
  Install(m);
  m.KeyDeletable = false;
  const TUninstallPlan plan = BuildUninstallPlan(TypicalFolders());

  const TUninstallOutcome outcome = RunUninstallPlan(plan, m);

  EXPECT_FALSE(outcome.Complete);
  EXPECT_EQ(outcome.NotRemoved, std::vector<std::string>{plan.UninstallKey});
  EXPECT_FALSE(m.Files.count(std::string(kDesktop) + "\\Тарвелон.lnk"));
  EXPECT_FALSE(m.Folders.count(std::string(kCommonPrograms) + "\\Tarvelon\\"));
}

TEST(UninstallRun, ARenamedUninstallerIsItselfAndNotTheUninstallExeBesideIt) {
  const std::string dir = std::string(kInstall) + "\\";
  for (const char* name : {"Uninstall (1).exe", "TARVELON.EXE"}) {
    SCOPED_TRACE(name);
    TFakeMachine m;
    Install(m);  // its Uninstall.exe stands for an unrelated file of that name
    m.AddFile(dir + name);
    TUninstallFolders folders = TypicalFolders();
    folders.SelfPath = dir + name;
    const TUninstallPlan plan = BuildUninstallPlan(folders);

    const TUninstallOutcome outcome = RunUninstallPlan(plan, m);

    EXPECT_TRUE(outcome.Complete);
    EXPECT_EQ(plan.SelfPath, dir + name);
    EXPECT_FALSE(Contains(plan.ProductFiles, dir + name));
    // Left for the self-removal: the running file itself; the other one is none of its business.
    EXPECT_TRUE(m.Files.count(dir + name));
    EXPECT_TRUE(m.Files.count(dir + "Uninstall.exe"));
  }
}

// It opened for delete, but its deletion fails: the links, the groups, the entry and the
// uninstaller stay, so that a second run can finish.
TEST(UninstallRun, AProductFileThatStaysAfterAllTouchesNothingElse) {
  TFakeMachine m;
  Install(m);
  const std::string dir = std::string(kInstall) + "\\";
  m.Undeletable.insert(dir + "Tarvelon.bar");
  std::set<std::string> expected = m.Files;
  for (const char* gone : {"Tarvelon.exe", "Tarvelon.car", "Tarvelon.exe0"}) expected.erase(dir + gone);
  const std::set<std::string> folders = m.Folders;

  const TUninstallOutcome outcome = RunUninstallPlan(BuildUninstallPlan(TypicalFolders()), m);

  EXPECT_FALSE(outcome.Complete);
  EXPECT_FALSE(outcome.InUse);
  EXPECT_EQ(outcome.NotRemoved, std::vector<std::string>{dir + "Tarvelon.bar"});
  EXPECT_EQ(m.Files, expected);
  EXPECT_EQ(m.Folders, folders);
  EXPECT_EQ(m.KeyDeletions, 0);
}

// Renamed to a product file's name, the running uninstaller (held open by its own image) is
// never looked at or deleted with the product files: that would stop or break the removal.
TEST(UninstallRun, AnUninstallerNamedLikeAProductFileRemovesTheProductAndStaysForLast) {
  const std::string dir = std::string(kInstall) + "\\";
  for (const char* name : {"Tarvelon.car", "TARVELON.CAR"}) {
    SCOPED_TRACE(name);
    TFakeMachine m;
    Install(m);
    m.Files.erase(dir + "Tarvelon.car");  // it took the data file's place
    m.Files.erase(dir + "Uninstall.exe");
    m.AddFile(dir + name);
    m.Locked.insert(dir + name);
    TUninstallFolders folders = TypicalFolders();
    folders.SelfPath = dir + name;

    const TUninstallOutcome outcome = RunUninstallPlan(BuildUninstallPlan(folders), m);

    EXPECT_TRUE(outcome.Complete);
    EXPECT_FALSE(m.KeyPresent);
    EXPECT_EQ(m.Files, (std::set<std::string>{dir + name, std::string(kDesktop) + "\\notes.txt"}));
    for (const std::string& path : m.Touched) EXPECT_FALSE(EqualIgnoringAsciiCase(path, dir + name)) << path;
  }
}

TEST(UninstallRun, WithoutAnEntryOnlyItsOwnFolderIsCleared) {
  TFakeMachine m;
  Install(m);
  const std::set<std::string> before = m.Files;
  TUninstallFolders folders = TypicalFolders();
  folders.Registered = false;
  const TUninstallPlan plan = BuildUninstallPlan(folders);

  const TUninstallOutcome outcome = RunUninstallPlan(plan, m);

  EXPECT_TRUE(outcome.Complete);
  EXPECT_TRUE(plan.Groups.empty());
  EXPECT_TRUE(plan.DesktopLinks.empty());
  EXPECT_EQ(m.KeyDeletions, 0);
  std::set<std::string> gone;
  for (const std::string& f : before)
    if (!m.Files.count(f)) gone.insert(f);
  const std::string dir = std::string(kInstall) + "\\";
  EXPECT_EQ(gone, (std::set<std::string>{dir + "Tarvelon.exe", dir + "Tarvelon.bar", dir + "Tarvelon.car",
                                         dir + "Tarvelon.exe0"}));
}

TEST(UninstallArgs, Table) {
  struct Row {
    std::vector<std::string> args;
    bool quiet, cleanup;
    std::uint64_t process, image, copy;
    const char* uninstaller;
  } rows[] = {
      {{}, false, false, 0, 0, 0, ""},
      {{"/quiet"}, true, false, 0, 0, 0, ""},
      {{"-Q"}, true, false, 0, 0, 0, ""},
      {{"/QUIET", "extra"}, true, false, 0, 0, 0, ""},
      {{"quiet"}, false, false, 0, 0, 0, ""},
      {{"/quieter"}, false, false, 0, 0, 0, ""},
      {{"/cleanup", "124", "C:\\Program Files\\Tarvelon\\Uninstall.exe", "96", "88"}, false, true, 124, 96, 88,
       "C:\\Program Files\\Tarvelon\\Uninstall.exe"},
      {{"/cleanup", "124", "D:\\T\\U.exe", "96"}, false, true, 124, 96, 0, "D:\\T\\U.exe"},
      {{"/cleanup", "124", "D:\\T\\U.exe", "96", "/q"}, true, true, 124, 96, 0, "D:\\T\\U.exe"},
      {{"/cleanup", "0", "D:\\T\\U.exe", "96"}, false, false, 0, 0, 0, ""},
      {{"/cleanup", "12x", "D:\\T\\U.exe", "96"}, false, false, 0, 0, 0, ""},
      {{"/cleanup", "124", "", "96"}, false, false, 0, 0, 0, ""},
      {{"/cleanup", "124", "D:\\T\\U.exe", "0"}, false, false, 0, 0, 0, ""},
      {{"/cleanup", "124", "D:\\T\\U.exe", "-1"}, false, false, 0, 0, 0, ""},
      {{"/cleanup", "124", "D:\\T\\U.exe"}, false, false, 0, 0, 0, ""},
      {{"/cleanup", "124"}, false, false, 0, 0, 0, ""},
  };
  for (const Row& row : rows) {
    std::string label;
    for (const std::string& a : row.args) label += "[" + a + "]";
    SCOPED_TRACE(label);
    const TUninstallArgs parsed = ParseUninstallArgs(row.args);
    EXPECT_EQ(parsed.Quiet, row.quiet);
    EXPECT_EQ(parsed.Cleanup, row.cleanup);
    EXPECT_EQ(parsed.ParentProcess, row.process);
    EXPECT_EQ(parsed.UninstallerFile, row.image);
    EXPECT_EQ(parsed.TempFile, row.copy);
    EXPECT_EQ(parsed.Uninstaller, row.uninstaller);
  }
}

TEST(UiLocale, RussianForTheSevenCyrillicCodePageLocalesOnly) {
  for (std::uint32_t id : {1026u, 1049u, 1058u, 1059u, 1087u, 1092u, 2073u}) {
    SCOPED_TRACE(id);
    EXPECT_TRUE(IsRussianUiLocale(id));
  }
  // Kyrgyz is Cyrillic too; 0x10419 is Russian with another sort order.
  for (std::uint32_t id : {0u, 1033u, 1088u, 0x19u, 0x10419u, 2072u}) {
    SCOPED_TRACE(id);
    EXPECT_FALSE(IsRussianUiLocale(id));
  }
}
