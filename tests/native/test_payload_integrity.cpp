// A damaged setup never installs a damaged file: what the digest table cannot vouch for takes
// the "Can't install" path, with nothing of that file written and nothing installed lost.
#include <gtest/gtest.h>

#include "install/digest_table.h"
#include "install/extract_payload.h"
#include "platform/chunk_digest.h"
#include "setup_fixture.h"

namespace {

using fixture::kInstallDir;

class IntegrityTest : public fixture::SetupTest {
 protected:
  void SetUp() override {
    PrepareInstall();
    M.Files().MakeFolders(kInstallDir);
  }
  // Extracts the file and expects it refused: one box naming it, no write of any kind, the
  // installed file as it was.
  void ExpectRefused(const std::string& type, const std::optional<std::string>& installed) {
    const std::string target = kInstallDir + "Tarvelon." + type;
    if (installed) M.Files().PutFile(target, *installed); else M.Files().Remove(target);
    const std::size_t boxes = Boxes().size();
    const std::size_t writes = M.Log().Lines({"CreateForWrite"}).size();
    ExtractPayloadFile("Tarvelon", type, target, true);
    ASSERT_EQ(Boxes().size(), boxes + 1);
    EXPECT_EQ(Boxes().back().Text, "Can't install " + target);
    EXPECT_EQ(M.Log().Lines({"CreateForWrite"}).size(), writes);
    EXPECT_EQ(File(target), installed);
    EXPECT_FALSE(File(target + "0").has_value());
    EXPECT_EQ(M.Resources().OutstandingCount(), 0);
  }
};

// One damaged byte at the start, the middle or the end; the target absent, replaceable, or
// newer (where the question would have come), or a kind that is overwritten directly.
TEST_F(IntegrityTest, DamagedByteIsRefusedBeforeAnythingIsWritten) {
  const std::pair<std::string, std::optional<std::string>> rows[] = {
      {"exe", std::nullopt},
      {"exe", sim::MakeExecutableWithFileVersion("1.0.0.9")},
      {"exe", sim::MakeExecutableWithFileVersion("1.0.2.0")},
      {"bar", std::string("installed data")},
  };
  for (const auto& [type, installed] : rows) {
    const std::string& bytes = type == "exe" ? ProgramBytes : BarBytes;
    for (std::size_t offset : {std::size_t{0}, bytes.size() / 2, bytes.size() - 1}) {
      SCOPED_TRACE(type + (installed ? " over an installed file" : "") + ", byte " +
                   std::to_string(offset));
      M.Resources().AddResource(type, "TARVELON", bytes);
      M.Resources().DamageResource(type, "TARVELON", offset);
      ExpectRefused(type, installed);
    }
  }
}

TEST_F(IntegrityTest, ZeroLengthFileInstallsEmptyAndACutOneIsRefused) {
  M.Resources().AddResource("DAT", "TARVELON", "");
  ExtractPayloadFile("Tarvelon", "dat", kInstallDir + "Tarvelon.dat", true);
  EXPECT_EQ(File(kInstallDir + "Tarvelon.dat"), "");
  EXPECT_TRUE(Boxes().empty());
  // A table that promises bytes where the resource has none.
  M.Resources().ReplaceDigestTable(EncodeDigestTable({{"DAT", "TARVELON", 1, {0}}}));
  ExpectRefused("dat", std::nullopt);
}

// A table that is missing, cut short, overlong, damaged, without the file or with another size
// (4 GiB more among them, which a 32-bit size_t would not see) vouches for nothing: the
// installed file stays as it was, and no memory is asked for it.
TEST_F(IntegrityTest, TableThatCannotVouchRefusesTheFile) {
  const TFileDigests bar{"BAR", "TARVELON", BarBytes.size(),
                         platform::DigestChunks(BarBytes.data(), BarBytes.size())};
  const std::string whole = EncodeDigestTable({bar});
  std::string ownDigestChanged = whole;
  ownDigestChanged.back() ^= 1;
  TFileDigests longer = bar;
  longer.Size += 1;
  TFileDigests longerBy4GiB = bar;
  longerBy4GiB.Size += std::uint64_t{1} << 32;
  longerBy4GiB.Chunks.resize(longerBy4GiB.Size / platform::kDigestChunkSize + 1);
  const std::pair<const char*, std::optional<std::string>> rows[] = {
      {"missing", std::nullopt},
      {"empty", std::string()},
      {"cut short", whole.substr(0, whole.size() - 1)},
      {"a byte too many", whole + '\0'},
      {"its own digest changed", ownDigestChanged},
      {"other files only", EncodeDigestTable({{"CAR", "TARVELON", 0, {}}})},
      {"another size", EncodeDigestTable({longer})},
      {"4 GiB more", EncodeDigestTable({longerBy4GiB})},
  };
  for (const auto& [name, table] : rows) {
    SCOPED_TRACE(name);
    M.Resources().ReplaceDigestTable(table);
    ExpectRefused("bar", std::string("installed data"));
    EXPECT_TRUE(M.System().Allocations().empty());
  }
  M.Resources().ReplaceDigestTable(whole);  // the same table undamaged vouches for the file
  ExtractPayloadFile("Tarvelon", "bar", kInstallDir + "Tarvelon.bar", true);
  EXPECT_EQ(File(kInstallDir + "Tarvelon.bar"), BarBytes);
}

// The setup's own file cut short, or its medium failing, while it runs: bytes of a payload file
// or of the digest table that cannot be read refuse the file like damaged ones, wherever the
// reading stops; so does a resource entry that claims more bytes than the resource has.
TEST_F(IntegrityTest, BytesThatCannotBeReadRefuseTheFile) {
  const std::string table = kDigestTableType, tableName = kDigestTableName;
  struct Row {
    const char* What;
    std::string Type, Name;
    std::size_t From;  // reads fail from here on; npos: all readable
    std::size_t Claimed;  // the size the entry claims; 0: its own
  };
  const std::size_t all = std::string::npos;
  const Row rows[] = {
      {"payload from its first byte", "BAR", "TARVELON", 0, 0},
      {"payload from its middle", "BAR", "TARVELON", BarBytes.size() / 2, 0},
      {"payload at its last byte", "BAR", "TARVELON", BarBytes.size() - 1, 0},
      {"payload claiming a byte more", "BAR", "TARVELON", all, BarBytes.size() + 1},
      {"table from its first byte", table, tableName, 0, 0},
      {"table at its last bytes", table, tableName, 100, 0},
      {"table claiming more bytes", table, tableName, all, 4096},
      {"table claiming more than any table needs", table, tableName, all, kMaxDigestTableSize + 1},
  };
  for (const Row& row : rows) {
    for (const auto& installed : {std::optional<std::string>(), std::optional<std::string>("installed")}) {
      SCOPED_TRACE(std::string(row.What) + (installed ? ", over an installed file" : ""));
      M.Resources().ClearReadFaults();
      if (row.From != all) M.Resources().FailReadsFrom(row.Type, row.Name, row.From);
      if (row.Claimed) M.Resources().ClaimSize(row.Type, row.Name, row.Claimed);
      ExpectRefused("bar", installed);
    }
  }
  M.Resources().ClearReadFaults();  // the same setup read whole installs the file
  ExtractPayloadFile("Tarvelon", "bar", kInstallDir + "Tarvelon.bar", true);
  EXPECT_EQ(File(kInstallDir + "Tarvelon.bar"), BarBytes);
}

// The whole run with the file cut short inside Tarvelon.bar: that file and the ones after it
// get their boxes, the others install, the program starts and the exit code is 0.
TEST_F(IntegrityTest, RunGoesOnPastFilesThatCannotBeRead) {
  DoneSetupState();
  M.Resources().FailReadsFrom("BAR", "TARVELON", 4000);
  M.Resources().FailReadsFrom("CAR", "TARVELON", 0);
  M.Dialogs().QueueAnswer(win::kIdYes);
  EXPECT_EQ(RunProgram(), 0);
  ASSERT_EQ(Boxes().size(), 3u);
  EXPECT_EQ(Boxes()[1].Text, "Can't install " + kInstallDir + "Tarvelon.bar");
  EXPECT_EQ(Boxes()[2].Text, "Can't install " + kInstallDir + "Tarvelon.car");
  EXPECT_FALSE(File(kInstallDir + "Tarvelon.bar").has_value());
  EXPECT_FALSE(File(kInstallDir + "Tarvelon.car").has_value());
  EXPECT_EQ(File(kInstallDir + "Tarvelon.exe"), ProgramBytes);
  EXPECT_EQ(File(kInstallDir + "Uninstall.exe"), UninstallerBytes);
  EXPECT_EQ(M.Shell().Executed().size(), 1u);
}

// The whole run: the damaged file is reported in the UI language, the rest installs, the
// program starts.
TEST_F(IntegrityTest, RunInstallsEverythingButTheDamagedFile) {
  DoneSetupState();
  UseRussian();
  M.Resources().DamageResource("CAR", "TARVELON", 5);
  M.Dialogs().QueueAnswer(win::kIdYes);
  EXPECT_EQ(RunProgram(), 0);
  ASSERT_EQ(Boxes().size(), 2u);
  EXPECT_EQ(Boxes()[1].Text, "\xCD\xE5 \xF3\xE4\xE0\xE5\xF2\xF1\xFF \xF3\xF1\xF2\xE0\xED\xEE\xE2\xE8\xF2\xFC " +
                                 kInstallDir + "Tarvelon.car");
  EXPECT_FALSE(File(kInstallDir + "Tarvelon.car").has_value());
  EXPECT_EQ(File(kInstallDir + "Tarvelon.bar"), BarBytes);
  EXPECT_EQ(File(kInstallDir + "Uninstall.exe"), UninstallerBytes);
  EXPECT_EQ(M.Shell().Executed().size(), 1u);
}

}  // namespace
