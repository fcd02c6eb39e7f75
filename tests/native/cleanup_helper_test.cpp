#include "payload/uninstaller/cleanup_helper.h"

#include <map>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

const std::uint64_t kParent = 0x1c4;
const std::uint64_t kImage = 0x2a0;
const char kUninstaller[] = "C:\\Program Files\\Tarvelon\\Uninstall (1).exe";

// A machine that knows one other process (ending or not) and the files its handles name, and
// writes down what the helper does, in order.
class TFakeCleanup : public TCleanupActions {
 public:
  std::set<std::uint64_t> OtherProcesses = {kParent};
  bool ParentEnds = true;
  bool Deletable = true;
  bool Movable = true;
  bool OpenFileMovable = true;
  std::map<std::uint64_t, std::string> FileHandles = {{kImage, kUninstaller}};
  std::vector<std::string> Log;

  bool IsOtherProcess(std::uint64_t process) override { return OtherProcesses.count(process) != 0; }
  bool IsHandleOfFile(std::uint64_t file, const std::string& path) override {
    auto found = FileHandles.find(file);
    return found != FileHandles.end() && found->second == path;
  }
  void CloseInheritedHandle(std::uint64_t) override { Log.push_back("close"); }
  bool WaitUntilEnded(std::uint64_t) override {
    Log.push_back("wait");
    return ParentEnds;
  }
  bool DeleteWithRetry(const std::string& path) override {
    Log.push_back("delete " + path);
    return Deletable;
  }
  void RemoveFolderIfEmpty(const std::string& folder) override { Log.push_back("rmdir " + folder); }
  std::string MoveToUniqueName(const std::string& path) override {
    Log.push_back("move " + path);
    return Movable ? path + ".parked-7f3a" : std::string();
  }
  bool MoveOpenFile(std::uint64_t file, const std::string& newPath) override {
    Log.push_back("move handle " + std::to_string(file) + " to " + newPath);
    return OpenFileMovable;
  }
  void DeleteAtRestart(const std::string& path) override { Log.push_back("at restart " + path); }
};

TUninstallArgs Line(std::uint64_t process, const std::string& uninstaller, std::uint64_t image) {
  TUninstallArgs args;
  args.Cleanup = true;
  args.ParentProcess = process;
  args.Uninstaller = uninstaller;
  args.UninstallerFile = image;
  return args;
}

}  // namespace

TEST(CleanupHelper, DeletesItsOwnUninstallerOnlyAfterItEnded) {
  TFakeCleanup machine;
  EXPECT_EQ(RunCleanup(Line(kParent, kUninstaller, kImage), machine), kCleanupDone);
  // The renamed file itself, never an "Uninstall.exe" beside it; the handle that would keep
  // the file is closed first.
  EXPECT_EQ(machine.Log, (std::vector<std::string>{"close", "wait", std::string("delete ") + kUninstaller,
                                                   "rmdir C:\\Program Files\\Tarvelon\\"}));
}

TEST(CleanupHelper, AFileThatStaysIsLeftToARestartUnderANameOfItsOwn) {
  const std::string folder = "C:\\Program Files\\Tarvelon\\";
  {
    SCOPED_TRACE("moved");
    TFakeCleanup machine;
    machine.Deletable = false;
    EXPECT_EQ(RunCleanup(Line(kParent, kUninstaller, kImage), machine), kCleanupLeft);
    // A later installation's file at the uninstaller's path is never the one scheduled.
    EXPECT_EQ(std::vector<std::string>(machine.Log.end() - 3, machine.Log.end()),
              (std::vector<std::string>{std::string("move ") + kUninstaller,
                                        std::string("at restart ") + kUninstaller + ".parked-7f3a",
                                        "at restart " + folder}));
  }
  {
    SCOPED_TRACE("cannot be moved: kept, not scheduled by its own name");
    TFakeCleanup machine;
    machine.Movable = false;
    LeaveToRestart(kUninstaller, folder, machine);
    EXPECT_EQ(machine.Log, (std::vector<std::string>{std::string("move ") + kUninstaller, "at restart " + folder}));
  }
}

TEST(CleanupHelper, AMadeUpLineDeletesNothing) {
  struct Row {
    const char* label;
    TUninstallArgs args;
    bool parentEnds;
  } rows[] = {
      {"the pseudo-handle of its own process (32-bit)", Line(0xFFFFFFFFu, kUninstaller, kImage), true},
      {"the pseudo-handle of its own process (64-bit)", Line(~std::uint64_t{0}, kUninstaller, kImage), true},
      {"a handle that is no other process", Line(0x10, kUninstaller, kImage), true},
      {"the process never ends: a time-out", Line(kParent, kUninstaller, kImage), false},
      {"another path than the uninstaller's file", Line(kParent, "C:\\Windows\\notepad.exe", kImage), true},
      {"the uninstaller's folder given, not its file", Line(kParent, "C:\\Program Files\\Tarvelon\\", kImage), true},
      {"a file handle that is none", Line(kParent, kUninstaller, 0x2a4), true},
      {"a relative path", Line(kParent, "Uninstall (1).exe", kImage), true},
      {"a path on the current drive", Line(kParent, "\\Program Files\\Tarvelon\\Uninstall (1).exe", kImage), true},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    TFakeCleanup machine;
    machine.ParentEnds = row.parentEnds;
    EXPECT_EQ(RunCleanup(row.args, machine), kCleanupRefused);
    for (const std::string& step : machine.Log) EXPECT_TRUE(step == "close" || step == "wait") << step;
  }
}

TEST(CleanupHelper, ItsFolderGoesUnderTheWindowsTempOnNtAndNeverUnderTheUsersThere) {
  struct Row {
    bool nt;
    const char *windows, *temp, *parent;
  } rows[] = {
      {true, "C:\\WINDOWS", "C:\\Users\\ann\\AppData\\Local\\Temp\\", "C:\\WINDOWS\\Temp\\"},
      {true, "D:\\", "C:\\Temp\\", "D:\\Temp\\"},
      {true, "", "C:\\Users\\ann\\AppData\\Local\\Temp\\", ""},
      {false, "C:\\WINDOWS", "C:\\WINDOWS\\TEMP", "C:\\WINDOWS\\TEMP\\"},
      {false, "C:\\WINDOWS", "", ""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(std::string(row.nt ? "NT " : "9x ") + row.windows + " " + row.temp);
    EXPECT_EQ(HelperFolderParent(row.nt, row.windows, row.temp), row.parent);
  }
}

TEST(CleanupHelper, TheHelperMovesItsCopyOutAndRemovesItsFolderLast) {
  const std::string folder = "C:\\WINDOWS\\Temp\\tvl-0123456789abcdef\\", copy = folder + "TarvelonUninstall.exe";
  const std::string moved = "move handle 696 to C:\\WINDOWS\\Temp\\tvl-0123456789abcdef.tmp";
  const struct Row {
    const char* label;
    std::uint64_t handle;
    bool movable;
    std::vector<std::string> log;
  } rows[] = {
      {"moved: the folder goes now, the copy with its handle", 0x2b8, true,
       {moved, "rmdir " + folder, "at restart C:\\WINDOWS\\Temp\\tvl-0123456789abcdef.tmp"}},
      {"not moved: both are left to the restart", 0x2b8, false, {moved, "at restart " + copy, "at restart " + folder}},
      {"a handle of another file: nothing is done", kImage, true, {}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    TFakeCleanup machine;
    machine.FileHandles[0x2b8] = copy;
    machine.OpenFileMovable = row.movable;
    ClearOwnCopy(copy, row.handle, machine);
    EXPECT_EQ(machine.Log, row.log);
  }
}
