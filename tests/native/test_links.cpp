// Links that the user may have made in his own folders, met by the elevated setup's removal of
// the old groups and by the uninstaller: a link at any level is never gone through, one in the
// place of a name of ours is removed itself, and nothing outside the product's folders goes.
#include <gtest/gtest.h>

#include <functional>

#include "install/install_program.h"
#include "payload/uninstaller/actions_without_links.h"
#include "setup_fixture.h"

namespace {

const std::string kUser = fixture::kUserPrograms + "\\";
const std::string kSystem = "C:\\Windows\\System32\\";
// An object folder of the object manager, where a user may make links of his own.
const std::string kObjects = "C:\\RPC Control\\";

struct TLinkRow {
  const char* name;
  std::function<void(sim::SimFiles&)> plant;
  std::string linkGone;  // the link in the place of a name of ours, removed itself; or empty
  std::string stays;     // what must stay besides everything under C:\Windows; or empty
};

// Names the setup and the uninstaller remove, each also present in the system's folders.
void FurnishSystem(sim::SimFiles& fs) {
  for (const char* name : {"kernel32.dll", "Tarvelon.lnk", "Uninstall the program.lnk", "Sub\\x.dll"})
    fs.PutFile(kSystem + name, "system");
  fs.PutFile("C:\\Windows\\win.ini", "system");
  fs.PutFile("C:\\Windows\\Start\\Tarvelon\\Tarvelon.lnk", "system");
  fs.MakeFolders(kObjects);
}

const TLinkRow kRows[] = {
    {"the group folder is a junction to a system folder",
     [](sim::SimFiles& fs) { fs.MakeLink(kUser + "Tarvelon", kSystem); }, kUser + "Tarvelon", ""},
    {"a link file is a symbolic link to a system file",
     [](sim::SimFiles& fs) { fs.MakeLink(kUser + "Tarvelon\\Tarvelon.lnk", kSystem + "kernel32.dll", false); },
     kUser + "Tarvelon\\Tarvelon.lnk", ""},
    {"a link file is an object-manager link, through a junction to its object folder",
     [](sim::SimFiles& fs) {
       fs.MakeObjectLink(kObjects + "Tarvelon.lnk", "C:\\Windows\\win.ini");
       fs.MakeLink(kUser + "Tarvelon", kObjects);
     },
     kUser + "Tarvelon", ""},
    {"the user's Programs folder itself is a junction",
     [](sim::SimFiles& fs) {
       fs.Remove(fixture::kUserPrograms);
       fs.MakeLink(fixture::kUserPrograms, "C:\\Windows\\Start");
     },
     "", fixture::kUserPrograms},
};

// The user's group of an earlier installation, then the row's links.
void Prepare(sim::SimFiles& fs, const TLinkRow& row) {
  FurnishSystem(fs);
  for (const char* name : {"Tarvelon.lnk", "Uninstall the program.lnk", "Sub\\mine.txt"})
    fs.PutFile(kUser + "Tarvelon\\" + name, "old");
  row.plant(fs);
}

void ExpectOnlyTheLinkWent(sim::SimFiles& fs, const TLinkRow& row,
                           const std::vector<std::string>& systemBefore) {
  EXPECT_EQ(fs.FilesBelow("C:\\Windows"), systemBefore);
  EXPECT_TRUE(fs.IsFolder(kObjects));
  if (!row.linkGone.empty()) EXPECT_FALSE(fs.IsFile(row.linkGone) || fs.IsFolder(row.linkGone));
  if (!row.stays.empty()) EXPECT_TRUE(fs.IsLink(row.stays));
}

TEST(SetupLinks, OldGroupsAreRemovedWithoutGoingThroughLinks) {
  const fixture::TPayload payload;
  for (const TLinkRow& row : kRows) {
    SCOPED_TRACE(row.name);
    sim::SimMachine m;
    fixture::FurnishMachine(m, payload);
    Prepare(m.Files(), row);
    const std::vector<std::string> systemBefore = m.Files().FilesBelow("C:\\Windows");
    InitSetupState();
    FillProductDefinition();
    ASSERT_TRUE(DetectFolders());
    SetupState.FileList = "Tarvelon.car;";

    EXPECT_TRUE(InstallProgram(true));

    ExpectOnlyTheLinkWent(m.Files(), row, systemBefore);
    EXPECT_TRUE(m.Dialogs().Boxes().empty());
    EXPECT_EQ(m.Files().ListFolder(fixture::kCommonPrograms + "\\Tarvelon").size(), 3u);
    DoneSetupState();
  }
}

// Product files and the registry, which the rows do not touch, as the uninstaller's own calls
// would do them.
class TProductActions : public TUninstallActions {
 public:
  explicit TProductActions(sim::SimFiles& fs) : Fs(fs) {}
  bool FileExists(const std::string& path) override { return Fs.FileExists(path); }
  bool CanRemove(const std::string&) override { return true; }
  bool RemoveFile(const std::string& path) override { return Fs.DeleteFile(path); }
  bool RemoveEmptyFolder(const std::string&) override { return false; }
  bool DeleteMachineKey(const std::string&) override { return true; }
  sim::SimFiles& Fs;
};

TEST(UninstallLinks, TheProductsLinksAreRemovedWithoutGoingThroughLinks) {
  for (const TLinkRow& row : kRows) {
    SCOPED_TRACE(row.name);
    sim::SimMachine m;
    sim::SimFiles& fs = m.Files();
    Prepare(fs, row);
    fs.PutFile(fixture::kInstallDir + "Tarvelon.exe", "program");
    fs.PutFile(fixture::kCommonDesktop + "\\Tarvelon.lnk", "link");
    const std::vector<std::string> systemBefore = fs.FilesBelow("C:\\Windows");
    const TUninstallFolders folders = {fixture::kInstallDir, fixture::kInstallDir + "Uninstall.exe",
                                       fixture::kCommonPrograms, fixture::kUserPrograms, fixture::kCommonDesktop};
    TProductActions product(fs);
    TActionsWithoutLinks actions(product, fs, {folders.UserProgramsDir, folders.CommonProgramsDir,
                                               folders.CommonDesktopDir});

    const TUninstallOutcome outcome = RunUninstallPlan(BuildUninstallPlan(folders), actions);

    EXPECT_TRUE(outcome.Complete);
    ExpectOnlyTheLinkWent(fs, row, systemBefore);
    EXPECT_FALSE(fs.IsFile(fixture::kCommonDesktop + "\\Tarvelon.lnk"));
    EXPECT_FALSE(fs.IsFile(fixture::kInstallDir + "Tarvelon.exe"));
  }
}

// As when the user makes the link between the uninstaller's look at a file and its removal.
TEST(UninstallLinks, ARemovalAfterTheLookStillGoesNowhereThroughALink) {
  sim::SimMachine m;
  sim::SimFiles& fs = m.Files();
  FurnishSystem(fs);
  fs.MakeLink(kUser + "Tarvelon", kSystem);
  const std::vector<std::string> systemBefore = fs.FilesBelow("C:\\Windows");
  TProductActions product(fs);
  TActionsWithoutLinks actions(product, fs, {fixture::kUserPrograms});
  EXPECT_FALSE(actions.RemoveFile(kUser + "Tarvelon\\Tarvelon.lnk"));
  EXPECT_EQ(fs.FilesBelow("C:\\Windows"), systemBefore);
}

}  // namespace
