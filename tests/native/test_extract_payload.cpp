// One payload file to its target: the replace policy, the question and every failure.
#include <gtest/gtest.h>

#include "install/extract_payload.h"
#include "setup_fixture.h"

namespace {

using fixture::SetupTest;

const std::string kTarget = fixture::kInstallDir + "Tarvelon.exe";
const std::string kTemp = kTarget + "0";

std::string PakBytes(std::uint16_t version) {
  std::string bytes = "PAKHDR" + std::string(2, '\0') + "rest";
  bytes[6] = static_cast<char>(version & 0xFF);
  bytes[7] = static_cast<char>(version >> 8);
  return bytes;
}

class ExtractTest : public SetupTest {
 protected:
  void SetUp() override {
    PrepareInstall();
    M.Files().MakeFolders(fixture::kInstallDir);
  }
  void InstallExe(const std::string& version) {
    Installed = sim::MakeExecutableWithFileVersion(version) + "installed";
    M.Files().PutFile(kTarget, Installed);
  }
  void Extract(bool check = true) { ExtractPayloadFile("Tarvelon", "exe", kTarget, check); }
  std::string Installed;
};

TEST_F(ExtractTest, MissingTargetIsWrittenDirectlyWhateverItsType) {
  Extract();
  EXPECT_EQ(File(kTarget), ProgramBytes);
  EXPECT_FALSE(File(kTemp).has_value());
  EXPECT_TRUE(Boxes().empty());
  EXPECT_EQ(M.Resources().OutstandingCount(), 0);
}

TEST_F(ExtractTest, NotOlderReplacesThroughTheTemporaryFile) {
  for (const char* installed : {"1.0.0.9", "1.0.1.0"}) {
    SCOPED_TRACE(installed);
    InstallExe(installed);
    Extract();
    EXPECT_EQ(File(kTarget), ProgramBytes);
    EXPECT_FALSE(File(kTemp).has_value());
    EXPECT_TRUE(Boxes().empty());
  }
}

// The incoming file goes to the temporary name and onto the disk first; then NT puts it in
// the target's place in one move, and 9x, which has no such move, deletes and renames.
TEST_F(ExtractTest, ReplaceStepsOfEachPlatformFamily) {
  const std::vector<std::string> operations = {"CreateForWrite", "FlushFile", "DeleteFile",
                                               "MoveFile", "MoveFileReplacing"};
  struct Row {
    std::uint32_t PlatformId;
    std::vector<std::string> Lines;
  };
  const Row rows[] = {
      {win::kPlatformWin32Nt,
       {"CreateForWrite " + kTemp, "FlushFile " + kTemp,
        "MoveFileReplacing " + kTemp + " -> " + kTarget}},
      {win::kPlatformWin32Windows,
       {"CreateForWrite " + kTemp, "FlushFile " + kTemp, "DeleteFile " + kTarget,
        "MoveFile " + kTemp + " -> " + kTarget}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.PlatformId);
    M.System().SetPlatformId(row.PlatformId);
    InstallExe("1.0.0.9");
    const std::size_t before = M.Log().Lines(operations).size();
    Extract();
    const auto lines = M.Log().Lines(operations);
    EXPECT_EQ(std::vector<std::string>(lines.begin() + before, lines.end()), row.Lines);
    EXPECT_EQ(File(kTarget), ProgramBytes);
    EXPECT_FALSE(File(kTemp).has_value());
  }
  EXPECT_TRUE(Boxes().empty());
  EXPECT_EQ(M.Files().OpenWriterCount(), 0);
}

// Every way the replace can be refused, on both families. On NT the installed file always
// survives; on 9x the delete-then-rename keeps its old cost where the rename is what fails.
TEST(ExtractReplace, RefusedReplaceOnEachPlatformFamily) {
  enum class Refusal { InjectedFault, HeldSharingDelete, ScannerTakesTemp, ReadOnly, Running,
                       FlushFails };
  struct Row {
    const char* Name;
    std::uint32_t PlatformId;
    Refusal How;
    bool TargetKept;  // after every other program has let go
    bool TempKept;
  };
  constexpr std::uint32_t kNt = win::kPlatformWin32Nt;
  constexpr std::uint32_t k9x = win::kPlatformWin32Windows;
  const Row rows[] = {
      {"NT, replacing move refused", kNt, Refusal::InjectedFault, true, true},
      {"NT, held open with delete sharing", kNt, Refusal::HeldSharingDelete, true, true},
      {"NT, scanner took the temporary file", kNt, Refusal::ScannerTakesTemp, true, false},
      {"NT, read-only target", kNt, Refusal::ReadOnly, true, true},
      {"NT, running target", kNt, Refusal::Running, true, true},
      {"NT, flush refused", kNt, Refusal::FlushFails, true, true},
      {"9x, rename refused", k9x, Refusal::InjectedFault, false, true},
      {"9x, held open with delete sharing", k9x, Refusal::HeldSharingDelete, false, true},
      {"9x, scanner took the temporary file", k9x, Refusal::ScannerTakesTemp, false, false},
      {"9x, read-only target", k9x, Refusal::ReadOnly, true, true},
      {"9x, running target", k9x, Refusal::Running, true, true},
      {"9x, flush refused", k9x, Refusal::FlushFails, true, true},
  };
  const fixture::TPayload payload;
  for (const Row& row : rows) {
    SCOPED_TRACE(row.Name);
    sim::SimMachine m;
    fixture::FurnishMachine(m, payload);
    InitSetupState();
    m.System().SetPlatformId(row.PlatformId);
    std::string installed = sim::MakeExecutableWithFileVersion("1.0.0.0");
    m.Files().PutFile(kTarget, installed);
    std::unique_ptr<sim::FileHold> hold;
    switch (row.How) {
      case Refusal::InjectedFault:
        m.Files().FailOperation(sim::FileOp::MoveFile);
        m.Files().FailOperation(sim::FileOp::MoveFileReplacing);
        break;
      case Refusal::HeldSharingDelete:
        hold = m.Files().HoldOpenSharingDelete(kTarget);
        break;
      case Refusal::ScannerTakesTemp:
        // An unversioned installed file, so that the missing temporary file asks nothing.
        m.Files().PutFile(kTarget, installed = sim::MakeExecutableWithoutVersion());
        m.Files().OnWriterClosed([&m](const std::string& path) {
          if (path == kTemp) m.Files().Remove(path);
        });
        break;
      case Refusal::ReadOnly:
        m.Files().SetReadOnly(kTarget, true);
        break;
      case Refusal::Running:
        hold = m.Files().HoldOpen(kTarget, platform::ShareMode::None);
        break;
      case Refusal::FlushFails:
        m.Files().FailOperation(sim::FileOp::Flush);
        break;
    }
    ExtractPayloadFile("Tarvelon", "exe", kTarget, true);
    ASSERT_EQ(m.Dialogs().Boxes().size(), 1u);
    EXPECT_EQ(m.Dialogs().Boxes()[0].Text, "Can't install " + kTarget);
    hold.reset();
    EXPECT_EQ(m.Files().ReadFile(kTarget),
              row.TargetKept ? std::optional<std::string>(installed) : std::nullopt);
    EXPECT_EQ(m.Files().ReadFile(kTemp),
              row.TempKept ? std::optional<std::string>(payload.ProgramBytes) : std::nullopt);
    EXPECT_EQ(m.Files().OpenWriterCount(), 0);
    DoneSetupState();
  }
}

// A 9x delete of a file another program holds with delete sharing only marks it: the name
// stays until that program lets go, so the rename onto it fails meanwhile.
TEST_F(ExtractTest, MarkedTargetOn9xStaysUntilItsHolderLetsGo) {
  M.System().SetPlatformId(win::kPlatformWin32Windows);
  InstallExe("1.0.0.0");
  auto hold = M.Files().HoldOpenSharingDelete(kTarget);
  Extract();
  EXPECT_TRUE(M.Files().IsDeletePending(kTarget));
  EXPECT_EQ(File(kTarget), Installed);
  hold.reset();
  EXPECT_FALSE(M.Files().IsFile(kTarget));
}

TEST_F(ExtractTest, InstalledExecutableWithoutVersionIsReplacedWithoutAQuestion) {
  M.Files().PutFile(kTarget, sim::MakeExecutableWithoutVersion());
  Extract();
  EXPECT_EQ(File(kTarget), ProgramBytes);
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(ExtractTest, OlderNoKeepsTheInstalledFileAndRemovesTheTemporaryOne) {
  InstallExe("1.0.2.0");
  M.Dialogs().QueueAnswer(win::kIdNo);
  Extract();
  EXPECT_EQ(File(kTarget), Installed);
  EXPECT_FALSE(File(kTemp).has_value());
  ASSERT_EQ(Boxes().size(), 1u);
  EXPECT_EQ(Boxes()[0].Caption, "Sound question");
  EXPECT_EQ(Boxes()[0].Flags, 270372u);
  EXPECT_FALSE(Boxes()[0].Ex);
  EXPECT_EQ(Boxes()[0].Text,
            kTarget + " file installing is of older version\r\n"
                      "than the same already installed.\r\n\r\n"
                      "Do you really want to replace existing\r\n"
                      "new file version 1.0.2.0 with an older file version 1.0.1.0?");
  // The window went away for the question and came back with empty texts.
  const auto& calls = M.Progress().Calls();
  ASSERT_GE(calls.size(), 2u);
  EXPECT_EQ(calls[calls.size() - 2].Operation, "HideWindow");
  EXPECT_EQ(calls.back().Operation, "ShowProgress");
  EXPECT_EQ(calls.back().Caption, "");
  EXPECT_EQ(calls.back().Status, "");
}

TEST_F(ExtractTest, OlderYesInstallsTheOlderFile) {
  InstallExe("1.0.2.0");
  M.Dialogs().QueueAnswer(win::kIdYes);
  Extract();
  EXPECT_EQ(File(kTarget), ProgramBytes);
  EXPECT_FALSE(File(kTemp).has_value());
  EXPECT_EQ(Boxes().size(), 1u);
}

TEST_F(ExtractTest, RussianQuestionNamesInstalledVersionFirst) {
  SetupState.UiRussian = true;
  InstallExe("1.0.2.0");
  M.Dialogs().QueueAnswer(win::kIdNo);
  Extract();
  ASSERT_EQ(Boxes().size(), 1u);
  EXPECT_TRUE(Boxes()[0].Ex);
  EXPECT_EQ(Boxes()[0].LanguageId, 25);
  EXPECT_EQ(Boxes()[0].Flags, 270372u);
  EXPECT_EQ(Boxes()[0].Caption, "\xD0\xE5\xE7\xEE\xED\xED\xFB\xE9 \xE2\xEE\xEF\xF0\xEE\xF1");
  EXPECT_EQ(Boxes()[0].Text,
            "\xD3\xF1\xF2\xE0\xED\xE0\xE2\xEB\xE8\xE2\xE0\xE5\xEC\xFB\xE9 \xF4\xE0\xE9\xEB " +
                kTarget + "\r\n" +
                "\xE1\xEE\xEB\xE5\xE5 \xF1\xF2\xE0\xF0\xEE\xE9 \xE2\xE5\xF0\xF1\xE8\xE8, \xF7\xE5\xEC "
                "\xF3\xE6\xE5 \xF3\xF1\xF2\xE0\xED\xEE\xE2\xEB\xE5\xED\xED\xFB\xE9.\r\n\r\n"
                "\xC4\xE5\xE9\xF1\xF2\xE2\xE8\xF2\xE5\xEB\xFC\xED\xEE \xEB\xE8 \xC2\xFB "
                "\xF5\xEE\xF2\xE8\xF2\xE5 \xE7\xE0\xEC\xE5\xED\xE8\xF2\xFC \xF3\xE6\xE5 "
                "\xE8\xEC\xE5\xFE\xF9\xE8\xE9\xF1\xFF\r\n"
                "\xF4\xE0\xE9\xEB \xE2\xE5\xF0\xF1\xE8\xE8 1.0.2.0 \xED\xE0 \xE1\xEE\xEB\xE5\xE5 "
                "\xF1\xF2\xE0\xF0\xFB\xE9 \xE2\xE5\xF0\xF1\xE8\xE8 1.0.1.0?");
}

TEST_F(ExtractTest, CheckFalseOrUnversionedKindsOverwriteDirectly) {
  InstallExe("9.0.0.0");
  Extract(false);
  EXPECT_EQ(File(kTarget), ProgramBytes);
  // Upper-case "EXE" is not one of the policy's kinds.
  InstallExe("9.0.0.0");
  ExtractPayloadFile("Tarvelon", "EXE", kTarget, true);
  EXPECT_EQ(File(kTarget), ProgramBytes);
  const std::string bar = fixture::kInstallDir + "Tarvelon.bar";
  M.Files().PutFile(bar, "older installed data");
  ExtractPayloadFile("Tarvelon", "bar", bar, true);
  EXPECT_EQ(File(bar), BarBytes);
  EXPECT_TRUE(Boxes().empty());
  EXPECT_TRUE(M.Log().Lines({"MoveFile"}).empty());
}

TEST_F(ExtractTest, NumericKindsCompareTheirHeaderFields) {
  const std::string pak = fixture::kInstallDir + "data.pak";
  M.Resources().AddResource("PAK", "DATA", PakBytes(3));
  M.Files().PutFile(pak, PakBytes(5));
  M.Dialogs().QueueAnswer(win::kIdNo);
  ExtractPayloadFile("data", "pak", pak, true);
  ASSERT_EQ(Boxes().size(), 1u);
  EXPECT_NE(Boxes()[0].Text.find("new file version 5 with an older file version 3?"),
            std::string::npos);
  EXPECT_EQ(File(pak), PakBytes(5));
  // An unreadable installed file counts as version 0: replaced without a question.
  M.Files().PutFile(pak, "short");
  ExtractPayloadFile("data", "pak", pak, true);
  EXPECT_EQ(File(pak), PakBytes(3));
  EXPECT_EQ(Boxes().size(), 1u);
}

TEST_F(ExtractTest, MarkedLanguageFileIsReplacedWithoutProbe) {
  const std::string lng = fixture::kInstallDir + "language\\rus_!codes.lng";
  M.Files().PutFile(lng, "[langver]\r\n99\r\n");
  M.Resources().AddResource("LNG", "RUS_CODES", "[langver]\r\n1\r\n");
  ExtractPayloadFile("rus_codes", "lng", lng, true);
  EXPECT_EQ(File(lng), "[langver]\r\n1\r\n");
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(ExtractTest, TemporaryFileNotWritableKeepsTheInstalledFile) {
  InstallExe("1.0.0.0");
  M.Files().FailOperation(sim::FileOp::CreateForWrite, kTemp);
  Extract();
  ASSERT_EQ(Boxes().size(), 1u);
  EXPECT_EQ(Boxes()[0].Text, "Can't install " + kTarget);
  EXPECT_EQ(Boxes()[0].Flags, 2097168u);
  EXPECT_EQ(File(kTarget), Installed);
  EXPECT_FALSE(File(kTemp).has_value());
}

TEST_F(ExtractTest, TargetNotDeletableKeepsTheInstalledFile) {
  InstallExe("1.0.0.0");
  M.Files().SetReadOnly(kTarget, true);
  Extract();
  ASSERT_EQ(Boxes().size(), 1u);
  EXPECT_EQ(Boxes()[0].Text, "Can't install " + kTarget);
  EXPECT_EQ(File(kTarget), Installed);
  EXPECT_EQ(File(kTemp), ProgramBytes);
}

TEST_F(ExtractTest, RenameFailingOn9xLeavesTheTemporaryFileAndNoTarget) {
  M.System().SetPlatformId(win::kPlatformWin32Windows);
  InstallExe("1.0.0.0");
  M.Files().FailOperation(sim::FileOp::MoveFile);
  Extract();
  ASSERT_EQ(Boxes().size(), 1u);
  EXPECT_FALSE(File(kTarget).has_value());
  EXPECT_EQ(File(kTemp), ProgramBytes);
}

TEST_F(ExtractTest, NoMemoryTouchesNothing) {
  InstallExe("1.0.0.0");
  M.System().SetAllocationLimit(100);
  Extract();
  ASSERT_EQ(Boxes().size(), 1u);
  EXPECT_EQ(File(kTarget), Installed);
  EXPECT_FALSE(File(kTemp).has_value());
}

TEST_F(ExtractTest, DirectWriteFailures) {
  // Refused at the open: nothing there, as before.
  M.Files().FailOperation(sim::FileOp::CreateForWrite, kTarget);
  Extract();
  EXPECT_FALSE(File(kTarget).has_value());
  // A read-only bar file is left as it was, with no temporary file.
  const std::string bar = fixture::kInstallDir + "Tarvelon.bar";
  M.Files().PutFile(bar, "installed data");
  M.Files().SetReadOnly(bar, true);
  ExtractPayloadFile("Tarvelon", "bar", bar, true);
  EXPECT_EQ(File(bar), "installed data");
  EXPECT_FALSE(File(bar + "0").has_value());
  ASSERT_EQ(Boxes().size(), 2u);
  EXPECT_EQ(Boxes()[1].Text, "Can't install " + bar);
}

TEST_F(ExtractTest, DiskFullPartWayLeavesThePartWritten) {
  const std::string bar = fixture::kInstallDir + "Tarvelon.bar";
  M.Files().SetFreeSpace(5000);
  ExtractPayloadFile("Tarvelon", "bar", bar, true);
  ASSERT_EQ(Boxes().size(), 1u);
  EXPECT_EQ(Boxes()[0].Text, "Can't install " + bar);
  const auto written = File(bar);
  ASSERT_TRUE(written.has_value());
  EXPECT_LT(written->size(), BarBytes.size());
  EXPECT_EQ(*written, BarBytes.substr(0, written->size()));
}

TEST_F(ExtractTest, PayloadNotCarriedCostsNoInstalledFile) {
  InstallExe("1.0.0.0");
  ExtractPayloadFile("Missing", "exe", kTarget, true);
  ASSERT_EQ(Boxes().size(), 1u);
  EXPECT_EQ(Boxes()[0].Text, "Can't install " + kTarget);
  EXPECT_EQ(File(kTarget), Installed);
  const std::string fresh = fixture::kInstallDir + "Fresh.car";
  ExtractPayloadFile("Fresh", "car", fresh, true);
  EXPECT_FALSE(M.Files().IsFile(fresh));
}

// Bytes 5, 6 and 7 after a five-byte prefix, so that each header probe reads something else:
// .pak bytes 6-7, .cok bytes 5-6, .3bs byte 6.
std::string Header(unsigned char b5, unsigned char b6, unsigned char b7) {
  return std::string("HDR12") + static_cast<char>(b5) + static_cast<char>(b6) +
         static_cast<char>(b7) + "tail";
}
std::string Lng(const std::string& version) { return "[langver]\r\n" + version + "\r\n"; }
std::string Exe(const std::string& version) { return sim::MakeExecutableWithFileVersion(version); }

// Every versioned kind, with its own probe: an older incoming file asks (the numbers shown
// are that probe's), an equal or newer one replaces through the temporary file silently.
TEST_F(ExtractTest, ReplacePolicyPerVersionedKind) {
  struct Row {
    const char* name;
    const char* kind;
    std::string installed;
    std::string incoming;
    const char* shownInstalled;  // nullptr: no question
    const char* shownIncoming;
  };
  const Row rows[] = {
      {"exe older", "exe", Exe("1.0.2.0") + "i", Exe("1.0.1.0"), "1.0.2.0", "1.0.1.0"},
      {"exe equal", "exe", Exe("1.0.1.0") + "i", Exe("1.0.1.0"), nullptr, nullptr},
      {"exe newer", "exe", Exe("1.0.0.9") + "i", Exe("1.0.1.0"), nullptr, nullptr},
      {"pak older", "pak", Header(7, 5, 1), Header(2, 3, 0), "261", "3"},
      {"pak equal", "pak", Header(9, 4, 0), Header(1, 4, 0), nullptr, nullptr},
      {"pak newer", "pak", Header(2, 3, 0), Header(7, 5, 1), nullptr, nullptr},
      {"cok older", "cok", Header(7, 5, 1), Header(2, 3, 0), "1287", "770"},
      {"cok equal", "cok", Header(2, 3, 9), Header(2, 3, 0), nullptr, nullptr},
      {"cok newer", "cok", Header(2, 3, 0), Header(7, 5, 1), nullptr, nullptr},
      {"3bs older", "3bs", Header(7, 5, 1), Header(2, 3, 0), "5", "3"},
      {"3bs equal", "3bs", Header(9, 4, 9), Header(1, 4, 0), nullptr, nullptr},
      {"3bs newer", "3bs", Header(2, 3, 0), Header(7, 5, 1), nullptr, nullptr},
      {"lng older", "lng", Lng("7"), Lng("4"), "7", "4"},
      {"lng equal", "lng", "; installed\r\n" + Lng("4"), Lng("4"), nullptr, nullptr},
      {"lng newer", "lng", Lng("4"), Lng("7"), nullptr, nullptr},
  };
  int number = 0;
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const std::string name = "row" + std::to_string(++number);
    const std::string target = fixture::kInstallDir + name + "." + row.kind;
    M.Resources().AddResource(row.kind, name, row.incoming);
    M.Files().PutFile(target, row.installed);
    const std::size_t boxesBefore = Boxes().size();
    if (row.shownInstalled) M.Dialogs().QueueAnswer(win::kIdNo);
    ExtractPayloadFile(name, row.kind, target, true);

    EXPECT_FALSE(File(target + "0").has_value());
    if (row.shownInstalled) {
      ASSERT_EQ(Boxes().size(), boxesBefore + 1);
      const std::string& text = Boxes().back().Text;
      const std::string versions = std::string("new file version ") + row.shownInstalled +
                                   " with an older file version " + row.shownIncoming + "?";
      EXPECT_EQ(text.substr(text.size() - std::min(text.size(), versions.size())), versions);
      EXPECT_EQ(File(target), row.installed);
    } else {
      EXPECT_EQ(Boxes().size(), boxesBefore);
      EXPECT_EQ(File(target), row.incoming);
      const auto moves = M.Log().Lines({"MoveFileReplacing"});
      ASSERT_FALSE(moves.empty()) << "replaced without the temporary file";
      EXPECT_EQ(moves.back(), "MoveFileReplacing " + target + "0 -> " + target);
    }
  }
}

// The question comes, the user agrees, and the replacement fails: the window does not come
// back, for this file nor for the next ones.
TEST_F(ExtractTest, WindowStaysHiddenWhenAFailureFollowsTheQuestion) {
  InstallExe("1.0.2.0");
  M.Files().SetReadOnly(kTarget, true);
  M.Dialogs().QueueAnswer(win::kIdYes);
  Extract();
  ASSERT_EQ(Boxes().size(), 2u);
  EXPECT_EQ(Boxes()[1].Text, "Can't install " + kTarget);
  ASSERT_FALSE(M.Progress().Calls().empty());
  EXPECT_EQ(M.Progress().Calls().back().Operation, "HideWindow");
  EXPECT_FALSE(M.Progress().Visible());
}

TEST_F(ExtractTest, TemporaryFileThatCannotBeDeletedAfterNoIsNotReported) {
  InstallExe("1.0.2.0");
  M.Files().FailOperation(sim::FileOp::DeleteFile, kTemp);
  M.Dialogs().QueueAnswer(win::kIdNo);
  Extract();
  EXPECT_EQ(Boxes().size(), 1u);  // the question only
  EXPECT_EQ(File(kTarget), Installed);
  EXPECT_EQ(File(kTemp), ProgramBytes);
  EXPECT_EQ(M.Progress().Calls().back().Operation, "ShowProgress");
}

TEST_F(ExtractTest, LargeBufferIsWrittenInBoundedPieces) {
  const std::size_t size = 20u << 20;
  M.Resources().AddResource("BIG", "TARVELON", std::string(size, 'b'));
  ExtractPayloadFile("Tarvelon", "big", fixture::kInstallDir + "Tarvelon.big", true);
  EXPECT_EQ(M.Files().WriteSizes(), (std::vector<std::size_t>{8u << 20, 8u << 20, 4u << 20}));
  EXPECT_EQ(File(fixture::kInstallDir + "Tarvelon.big")->size(), size);
  // One buffer of the payload's size, no second copy.
  EXPECT_EQ(M.System().Allocations(), (std::vector<std::size_t>{size}));
}

}  // namespace
