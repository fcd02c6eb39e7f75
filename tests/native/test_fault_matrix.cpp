// Every change a whole installation makes to the machine, refused one at a time: the user sees
// exactly the boxes that failure calls for, the run ends with 0, no installed file is lost
// beyond what that failure must cost, and a second run completes the installation.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <iostream>

#include "setup_fixture.h"

namespace {

using fixture::RootKey;

const std::string kDir = fixture::kInstallDir;
const std::string kGroup = fixture::kCommonPrograms + "\\Tarvelon\\";
const std::string kNoRights =
    "You have no right to add/remove programs!\r\nPlease contact your system administrator.";
const char* const kFiles[] = {"Tarvelon.exe", "Tarvelon.bar", "Tarvelon.car", "Uninstall.exe"};

// An earlier installation of the same files, with groups of both languages left behind.
void InstallEarlier(sim::SimMachine& m, const fixture::TPayload& p) {
  m.Files().PutFile(kDir + "Tarvelon.exe", p.ProgramBytes);
  m.Files().PutFile(kDir + "Tarvelon.bar", p.BarBytes);
  m.Files().PutFile(kDir + "Tarvelon.car", p.CarBytes);
  m.Files().PutFile(kDir + "Uninstall.exe", p.UninstallerBytes);
  m.Files().PutFile(kDir + "user file.txt", "mine");
  m.Files().PutFile(kGroup + "Tarvelon.lnk", "old");
  m.Files().PutFile(fixture::kUserPrograms + "\\Tarvelon\\Tarvelon.lnk", "old");
  m.Files().PutFile(fixture::kCommonPrograms + "\\" + fixture::kTarvelonRu + "\\x.lnk", "old");
  m.Registry().PlantString(RootKey::LocalMachine, fixture::kUninstallKey, "UninstallString",
                           kDir + "Uninstall.exe");
}

// One setup process from start to end: the marker it holds goes with the process.
int RunAnsweringYes(sim::SimMachine& m) {
  m.Dialogs().QueueAnswer(win::kIdYes);
  const int exitCode = RunProgram();
  ReleaseInstanceMarker();
  return exitCode;
}

void ExpectCompleteInstallation(sim::SimMachine& m, const fixture::TPayload& p) {
  EXPECT_EQ(m.Files().ReadFile(kDir + "Tarvelon.exe"), p.ProgramBytes);
  EXPECT_EQ(m.Files().ReadFile(kDir + "Tarvelon.bar"), p.BarBytes);
  EXPECT_EQ(m.Files().ReadFile(kDir + "Tarvelon.car"), p.CarBytes);
  EXPECT_EQ(m.Files().ReadFile(kDir + "Uninstall.exe"), p.UninstallerBytes);
  EXPECT_EQ(m.Registry().StringValue(RootKey::LocalMachine, fixture::kUninstallKey, "NoRepair"),
            std::nullopt);  // a DWORD, not text
  EXPECT_TRUE(m.Registry().Value(RootKey::LocalMachine, fixture::kUninstallKey, "NoRepair"));
  EXPECT_EQ(m.Files().ListFolder(kGroup),
            (std::vector<std::string>{"Program's website.url", "Tarvelon.lnk",
                                      "Uninstall the program.lnk"}));
  EXPECT_TRUE(m.Files().IsFile(fixture::kCommonDesktop + "\\Tarvelon.lnk"));
}

// The payload file a failed call was writing, deleting or renaming; empty for other calls.
std::string PayloadFileOf(const sim::LoggedCall& call) {
  for (const char* name : kFiles) {
    const std::string target = kDir + name;
    if (call.Target == target || call.Target == target + "0" ||
        call.Target.rfind(target + "0 -> ", 0) == 0)
      return target;
  }
  return {};
}

// The boxes after the question that refusing `call` must give, and nothing else.
std::vector<std::string> ExpectedBoxes(const sim::LoggedCall& call, bool earlier) {
  if (call.Operation == "RegCreateKey" || call.Operation == "RegSetValue") return {kNoRights};
  const std::string file = PayloadFileOf(call);
  if (!file.empty()) return {"Can't install " + file};
  if (call.Operation == "CreateDirectory" && call.Target + "\\" == kDir && !earlier) {
    std::vector<std::string> boxes;
    for (const char* name : kFiles) boxes.push_back("Can't install " + kDir + name);
    return boxes;
  }
  return {};  // shell steps, group folder, links and the program's start fail silently
}

// What an installed file may be after refusing `call` in a re-installation.
void ExpectNoFileLost(sim::SimMachine& m, const fixture::TPayload& p, const sim::LoggedCall& call) {
  const std::string lostByRename =
      call.Operation == "MoveFile" ? PayloadFileOf(call) : std::string();
  // A refused flush or replacing move keeps the installed file and leaves the new one beside it.
  const std::string keptBeside =
      call.Operation == "FlushFile" || call.Operation == "MoveFileReplacing" ? PayloadFileOf(call)
                                                                             : std::string();
  const std::pair<std::string, const std::string*> files[] = {
      {"Tarvelon.exe", &p.ProgramBytes}, {"Tarvelon.bar", &p.BarBytes},
      {"Tarvelon.car", &p.CarBytes}, {"Uninstall.exe", &p.UninstallerBytes}};
  for (const auto& [name, bytes] : files) {
    const std::string path = kDir + name;
    if (path == lostByRename) {
      // The rename after deleting the installed file failed: the new file waits beside it.
      EXPECT_EQ(m.Files().ReadFile(path + "0"), *bytes);
      continue;
    }
    const auto now = m.Files().ReadFile(path);
    const bool partWritten = (call.Operation == "Write" || call.Operation == "CreateForWrite") &&
                             call.Target == path;
    if (partWritten) continue;  // a refused direct write of a data file costs that file
    EXPECT_EQ(now, *bytes) << path;
    if (path == keptBeside) {
      EXPECT_EQ(m.Files().ReadFile(path + "0"), *bytes) << path;
    }
  }
  EXPECT_EQ(m.Files().ReadFile(kDir + "user file.txt"), "mine");
}

void RunMatrix(bool earlier) {
  const fixture::TPayload payload;
  std::vector<sim::LoggedCall> points;
  {
    sim::SimMachine m;
    fixture::FurnishMachine(m, payload);
    if (earlier) InstallEarlier(m, payload);
    ASSERT_EQ(RunAnsweringYes(m), 0);
    ExpectCompleteInstallation(m, payload);
    for (const auto& call : m.Log().Calls())
      if (call.Index >= 0) points.push_back(call);
  }
  std::cout << "[ fault matrix ] " << (earlier ? "re-installation: " : "fresh installation: ")
            << points.size() << " injection points\n";
  ASSERT_GT(points.size(), 20u);
  if (earlier) {
    // Installed executables are replaced through a flushed temporary file and a replacing move.
    int flushes = 0, replaces = 0;
    for (const auto& point : points) {
      flushes += point.Operation == "FlushFile";
      replaces += point.Operation == "MoveFileReplacing";
    }
    EXPECT_EQ(flushes, 2);
    EXPECT_EQ(replaces, 2);
  }

  for (const auto& point : points) {
    SCOPED_TRACE(std::to_string(point.Index) + " " + point.Operation + " " + point.Target);
    sim::SimMachine m;
    fixture::FurnishMachine(m, payload);
    if (earlier) InstallEarlier(m, payload);
    m.FailOperationAt(point.Index);
    EXPECT_EQ(RunAnsweringYes(m), 0);

    bool injected = false;
    for (const auto& failure : m.Log().Failures()) injected |= failure.Index == point.Index;
    EXPECT_TRUE(injected);
    std::vector<std::string> boxes;
    for (const auto& box : m.Dialogs().Boxes()) boxes.push_back(box.Text);
    ASSERT_FALSE(boxes.empty());
    EXPECT_EQ(boxes[0], "Would you like to setup the program?");
    boxes.erase(boxes.begin());
    EXPECT_EQ(boxes, ExpectedBoxes(point, earlier));
    if (earlier) ExpectNoFileLost(m, payload, point);

    // The fault is gone; the next run completes the installation, with no temporary file left.
    EXPECT_EQ(RunAnsweringYes(m), 0);
    ExpectCompleteInstallation(m, payload);
    std::vector<std::string> installed(std::begin(kFiles), std::end(kFiles));
    if (earlier) installed.push_back("user file.txt");
    std::sort(installed.begin(), installed.end());
    EXPECT_EQ(m.Files().ListFolder(kDir), installed);
    EXPECT_EQ(m.Registry().OpenKeyCount(), 0);
  }
}

TEST(FaultMatrix, FreshInstallation) { RunMatrix(false); }
TEST(FaultMatrix, ReInstallation) { RunMatrix(true); }

TEST(FaultMatrix, DiskFullInTheMiddleOfTheBigDataFile) {
  const fixture::TPayload payload;
  sim::SimMachine m;
  fixture::FurnishMachine(m, payload);
  m.Files().SetFreeSpace(payload.ProgramBytes.size() + payload.BarBytes.size() / 2);
  EXPECT_EQ(RunAnsweringYes(m), 0);
  std::vector<std::string> boxes;
  for (const auto& box : m.Dialogs().Boxes()) boxes.push_back(box.Text);
  EXPECT_EQ(boxes, (std::vector<std::string>{"Would you like to setup the program?",
                                             "Can't install " + kDir + "Tarvelon.bar",
                                             "Can't install " + kDir + "Tarvelon.car",
                                             "Can't install " + kDir + "Uninstall.exe"}));
  EXPECT_EQ(m.Files().ReadFile(kDir + "Tarvelon.exe"), payload.ProgramBytes);
  m.Files().SetFreeSpace(std::nullopt);
  m.Files().Remove(kDir + "Tarvelon.bar");  // the user frees space, then runs setup again
  EXPECT_EQ(RunAnsweringYes(m), 0);
  ExpectCompleteInstallation(m, payload);
}

// Held without sharing (a running program), or by a program that lets others delete it (a
// scanner, an indexer): on NT the installed file survives either way.
TEST(FaultMatrix, InstalledFileHeldOpenByAnotherProgram) {
  for (const bool deleteSharing : {false, true})
  for (const char* name : kFiles) {
    SCOPED_TRACE(std::string(name) + (deleteSharing ? ", delete sharing" : ", no sharing"));
    const fixture::TPayload payload;
    sim::SimMachine m;
    fixture::FurnishMachine(m, payload);
    InstallEarlier(m, payload);
    const std::string path = kDir + name;
    const std::string before = *m.Files().ReadFile(path);
    {
      auto hold = deleteSharing ? m.Files().HoldOpenSharingDelete(path)
                                : m.Files().HoldOpen(path, platform::ShareMode::None);
      EXPECT_EQ(RunAnsweringYes(m), 0);
      std::vector<std::string> boxes;
      for (const auto& box : m.Dialogs().Boxes()) boxes.push_back(box.Text);
      EXPECT_EQ(boxes, (std::vector<std::string>{"Would you like to setup the program?",
                                                 "Can't install " + path}));
      EXPECT_EQ(m.Files().ReadFile(path), before);
    }
    // Still there once the other program has let go: nothing marked it for deletion.
    EXPECT_EQ(m.Files().ReadFile(path), before);
    EXPECT_EQ(RunAnsweringYes(m), 0);
    ExpectCompleteInstallation(m, payload);
  }
}

TEST(FaultMatrix, UserWithoutRightsAtEveryRegistryValue) {
  for (int refused = 1; refused <= 10; ++refused) {
    SCOPED_TRACE(refused);
    const fixture::TPayload payload;
    sim::SimMachine m;
    fixture::FurnishMachine(m, payload);
    m.Registry().FailWriteNumber(refused);
    EXPECT_EQ(RunAnsweringYes(m), 0);
    ASSERT_EQ(m.Dialogs().Boxes().size(), 2u);
    EXPECT_EQ(m.Dialogs().Boxes()[1].Text, kNoRights);
    EXPECT_EQ(m.Registry().ValueNames(RootKey::LocalMachine, fixture::kUninstallKey).size(),
              static_cast<std::size_t>(refused - 1));
    EXPECT_TRUE(m.Log().Lines({"CreateDirectory", "CreateForWrite", "RemoveEntry"}).empty());
    EXPECT_TRUE(m.Shell().Executed().empty());
  }
}

}  // namespace
