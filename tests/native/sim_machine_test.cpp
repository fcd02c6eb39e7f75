// The simulated machine's own promises that the logic tests build on: the fault hook, the
// order of the call log, and the ways it refuses like Windows.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/machine.h"
#include "platform/sim/sim_machine.h"
#include "platform/win_constants.h"

namespace {

using platform::RootKey;

bool WriteFile(platform::Files& files, const std::string& path, const std::string& bytes) {
  auto file = files.CreateForWrite(path);
  return file && file->Write(bytes.data(), bytes.size());
}

TEST(SimMachine, InstallsItselfAsTheMachineForItsLifetime) {
  {
    sim::SimMachine machine;
    EXPECT_EQ(&platform::Os().Fs, &machine.Files());
  }
  EXPECT_THROW(platform::Os(), std::logic_error);
}

TEST(SimMachine, CallLogKeepsTheOrderOfChanges) {
  sim::SimMachine machine;
  platform::Machine& os = machine.Machine();
  std::unique_ptr<platform::RegistryKey> key;
  ASSERT_EQ(os.Reg.Root(RootKey::LocalMachine)->OpenSubKey("Software\\Entry", true, key), 0);
  ASSERT_EQ(key->SetValue("DisplayName", win::kRegSz, std::string("T\0", 2)), 0);
  ASSERT_TRUE(os.Fs.CreateDirectory("C:\\App"));
  ASSERT_TRUE(WriteFile(os.Fs, "C:\\App\\a.exe", "MZ"));
  os.Boxes.MessageBox("text", "caption", win::kMbOk);
  os.Sh.Execute("open", "C:\\App\\a.exe", "", win::kSwShowNormal);

  EXPECT_EQ(machine.Log().Lines(),
            (std::vector<std::string>{"RegCreateKey HKLM\\Software\\Entry",
                                      "RegSetValue HKLM\\Software\\Entry\\DisplayName",
                                      "CreateDirectory C:\\App", "CreateForWrite C:\\App\\a.exe",
                                      "Write C:\\App\\a.exe", "MessageBox caption: text",
                                      "Execute open C:\\App\\a.exe"}));
  EXPECT_EQ(machine.Log().OperationCount(), 6) << "the box is no fault point";
}

TEST(SimMachine, FailOperationAtRefusesExactlyThatPoint) {
  sim::SimMachine machine;
  platform::Files& files = machine.Machine().Fs;
  machine.FailOperationAt(1);
  EXPECT_TRUE(files.CreateDirectory("C:\\A"));   // point 0
  EXPECT_FALSE(files.CreateDirectory("C:\\B"));  // point 1
  EXPECT_TRUE(files.CreateDirectory("C:\\C"));   // point 2
  EXPECT_FALSE(machine.Files().IsFolder("C:\\B"));
  ASSERT_EQ(machine.Log().Failures().size(), 1u);
  EXPECT_EQ(machine.Log().Failures()[0].Target, "C:\\B");
}

TEST(SimMachine, UserWithoutAdministratorRightsIsRefusedUnderLocalMachineOnly) {
  sim::SimMachine machine;
  sim::SimRegistry& registry = machine.Registry();
  registry.PlantString(RootKey::LocalMachine, "Software\\Microsoft\\Windows\\CurrentVersion",
                       "ProgramFilesDir", "C:\\Program Files");
  registry.SetUserIsAdministrator(false);
  platform::Registry& reg = machine.Machine().Reg;

  std::unique_ptr<platform::RegistryKey> key;
  EXPECT_EQ(reg.Root(RootKey::LocalMachine)
                ->OpenSubKey("Software\\Microsoft\\Windows\\CurrentVersion\\", false, key),
            win::kErrorAccessDenied);
  EXPECT_EQ(key, nullptr);
  EXPECT_EQ(reg.Root(RootKey::LocalMachine)->OpenSubKey("Software\\New", true, key),
            win::kErrorAccessDenied);
  EXPECT_FALSE(registry.KeyExists(RootKey::LocalMachine, "Software\\New"));
  EXPECT_EQ(reg.Root(RootKey::CurrentUser)->OpenSubKey("Software\\New", true, key),
            win::kErrorSuccess);
}

TEST(SimMachine, RegistryFaultsAndValueOrder) {
  sim::SimMachine machine;
  sim::SimRegistry& registry = machine.Registry();
  registry.FailWritesOf("Publisher");
  registry.FailRead(RootKey::CurrentUser, "Software\\K", "Broken");
  registry.PlantString(RootKey::CurrentUser, "Software\\K", "Broken", "x");
  std::unique_ptr<platform::RegistryKey> key;
  ASSERT_EQ(machine.Machine().Reg.Root(RootKey::CurrentUser)->OpenSubKey("Software\\K", false, key),
            0);
  std::string data;
  EXPECT_EQ(key->QueryValue("broken", nullptr, nullptr), 0);  // still seen to exist
  EXPECT_EQ(key->QueryValue("broken", nullptr, &data), win::kErrorAccessDenied);
  EXPECT_EQ(key->SetValue("B", win::kRegSz, std::string("1\0", 2)), 0);
  EXPECT_EQ(key->SetValue("publisher", win::kRegSz, std::string("2\0", 2)),
            win::kErrorAccessDenied);
  EXPECT_EQ(key->SetValue("A", win::kRegSz, std::string("3\0", 2)), 0);
  EXPECT_EQ(key->SetValue("b", win::kRegSz, std::string("4\0", 2)), 0);
  EXPECT_EQ(registry.ValueNames(RootKey::CurrentUser, "Software\\K"),
            (std::vector<std::string>{"Broken", "B", "A"}));
  EXPECT_EQ(*registry.StringValue(RootKey::CurrentUser, "Software\\K", "B"), "4");
  key.reset();
  EXPECT_EQ(registry.OpenKeyCount(), 0);
}

TEST(SimMachine, FilesRefuseLikeWindows) {
  sim::SimMachine machine;
  sim::SimFiles& sim = machine.Files();
  platform::Files& files = machine.Machine().Fs;
  sim.PutFile("C:\\App\\locked.exe", "old");
  sim.SetReadOnly("C:\\App\\locked.exe", true);
  EXPECT_EQ(files.CreateForWrite("c:\\app\\LOCKED.EXE"), nullptr);
  EXPECT_FALSE(files.DeleteFile("C:\\App\\locked.exe"));
  EXPECT_EQ(*sim.ReadFile("C:\\App\\locked.exe"), "old");

  // A full disk keeps what fitted.
  sim.SetFreeSpace(5);
  auto file = files.CreateForWrite("C:\\App\\big.bar");
  ASSERT_NE(file, nullptr);
  EXPECT_FALSE(file->Write("0123456789", 10));
  file.reset();
  EXPECT_EQ(*sim.ReadFile("C:\\App\\big.bar"), "01234");
  EXPECT_EQ(sim.WriteSizes(), (std::vector<std::size_t>{10}));

  sim.FailOperation(sim::FileOp::MoveFile, "C:\\App\\big.bar");
  EXPECT_FALSE(files.MoveFile("C:\\App\\big.bar", "C:\\App\\other.bar"));
  EXPECT_EQ(sim.ListFolder("C:\\App"), (std::vector<std::string>{"big.bar", "locked.exe"}));
}

TEST(SimMachine, RelativePathsFollowTheCurrentDirectory) {
  sim::SimMachine machine;
  machine.Files().MakeFolders("D:\\Setup\\Sub");
  ASSERT_TRUE(machine.Machine().Sys.SetCurrentDirectory("D:\\Setup"));
  ASSERT_TRUE(WriteFile(machine.Machine().Fs, "Sub\\..\\here.txt", "x"));
  EXPECT_TRUE(machine.Files().IsFile("D:\\Setup\\here.txt"));
  machine.Machine().Sh.Execute("open", "here.txt", "", win::kSwShow);
  EXPECT_EQ(machine.Shell().Executed().at(0).CurrentDirectory, "D:\\Setup");
}

TEST(SimMachine, ShellDeleteLeavesAHeldFileWithItsFolders) {
  sim::SimMachine machine;
  sim::SimFiles& files = machine.Files();
  files.PutFile("C:\\Group\\Sub\\held.lnk", "h");
  files.PutFile("C:\\Group\\Sub\\free.lnk", "f");
  files.PutFile("C:\\Group\\Other\\free.url", "u");
  auto hold = files.HoldOpen("C:\\Group\\Sub\\held.lnk");
  const std::string list("C:\\Group\0\0", 10);
  EXPECT_NE(machine.Machine().Sh.FileOperation(win::kFoDelete, list, 20), 0);
  EXPECT_EQ(files.FilesBelow("C:\\Group"), (std::vector<std::string>{"C:\\Group\\Sub\\held.lnk"}));
  EXPECT_FALSE(files.IsFolder("C:\\Group\\Other"));
  ASSERT_EQ(machine.Shell().FileOperations().size(), 1u);
  EXPECT_EQ(machine.Shell().FileOperations()[0].FromList, list);
}

TEST(SimMachine, VersionTravelsWithTheFileBytes) {
  sim::SimMachine machine;
  machine.Files().PutFile("C:\\App\\new.exe0", sim::MakeExecutableWithFileVersion("1.0.1.0"));
  ASSERT_TRUE(machine.Machine().Fs.MoveFile("C:\\App\\new.exe0", "C:\\App\\new.exe"));
  machine.Files().PutFile("C:\\App\\readme.exe", "plain text");
  platform::VersionInfo& versions = machine.Machine().Versions;

  EXPECT_EQ(versions.ExeType("C:\\App\\readme.exe"), 0u);
  EXPECT_EQ(machine.Versions().VersionResourceCalls(), 0);
  ASSERT_NE(versions.ExeType("C:\\App\\new.exe"), 0u);
  const std::uint32_t size = versions.InfoSize("C:\\App\\new.exe");
  ASSERT_GT(size, 0u);
  std::string block;
  ASSERT_TRUE(versions.LoadInfo("C:\\App\\new.exe", size, block));
  std::string table;
  ASSERT_TRUE(versions.QueryTranslations(block, table));
  EXPECT_EQ(table, std::string("\x19\x04\xE3\x04", 4));
  std::string text;
  EXPECT_TRUE(versions.QueryString(block, "\\StringFileInfo\\041904E3\\FileVersion", text));
  EXPECT_EQ(text, "1.0.1.0");
  EXPECT_FALSE(versions.QueryString(block, "\\StringFileInfo\\040904e4\\FileVersion", text));
  EXPECT_EQ(versions.InfoSize("C:\\App\\plain.exe"), 0u);
}

TEST(SimMachine, DialogsFollowTheScript) {
  sim::SimMachine machine;
  sim::SimDialogs& dialogs = machine.Dialogs();
  platform::Dialogs& boxes = machine.Machine().Boxes;
  dialogs.QueueAnswer(win::kIdNo);
  EXPECT_EQ(boxes.MessageBoxEx("q", "c", win::kMbYesNo, 0x19), win::kIdNo);
  EXPECT_EQ(boxes.MessageBox("q", "c", win::kMbYesNo), win::kIdYes);
  dialogs.FailNextBoxes();
  EXPECT_EQ(boxes.MessageBox("e", "c", win::kMbOk), 0);
  ASSERT_EQ(dialogs.Boxes().size(), 3u);
  EXPECT_TRUE(dialogs.Boxes()[0].Ex);
  EXPECT_EQ(dialogs.Boxes()[0].LanguageId, 0x19);
  EXPECT_FALSE(dialogs.Boxes()[1].Ex);
}

TEST(SimMachine, MarkerCreationCanFail) {
  sim::SimMachine machine;
  machine.System().FailMarkerCreation(5);
  platform::MarkerResult failed = machine.Machine().Sys.CreateMarker("tvl_memfile");
  EXPECT_EQ(failed.Marker, nullptr);
  EXPECT_EQ(failed.LastError, 5);
  EXPECT_FALSE(machine.System().MarkerExists("tvl_memfile"));
  platform::MarkerResult next = machine.Machine().Sys.CreateMarker("tvl_memfile");
  EXPECT_NE(next.Marker, nullptr);
  EXPECT_TRUE(machine.System().MarkerExists("tvl_memfile"));
}

}  // namespace
