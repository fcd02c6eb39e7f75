// The version probes on the simulated machine: header fields, the language-file version and
// the FileVersion of executables.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "install/version_probes.h"
#include "platform/sim/sim_machine.h"
#include "platform/win_constants.h"
#include "setup/setup_state.h"

namespace {

const char kFolder[] = "C:\\Program Files\\Tarvelon\\";
// "Не удаётся работать с файлом языковой поддержки " in Windows-1251.
const char kLangFileErrorRu[] =
    "\xcd\xe5 \xf3\xe4\xe0\xb8\xf2\xf1\xff \xf0\xe0\xe1\xee\xf2\xe0\xf2\xfc \xf1 "
    "\xf4\xe0\xe9\xeb\xee\xec \xff\xe7\xfb\xea\xee\xe2\xee\xe9 "
    "\xef\xee\xe4\xe4\xe5\xf0\xe6\xea\xe8 ";

class VersionProbes : public ::testing::Test {
 protected:
  void SetUp() override {
    SetupState.UiRussian = false;
    SetupState.ShortNameEn = "Tarvelon";
    SetupState.ShortNameRu = "\xd2\xe0\xf0\xe2\xe5\xeb\xee\xed";
  }
  void TearDown() override { SetupState = TSetupState(); }

  std::string Put(const std::string& name, const std::string& bytes) {
    machine.Files().PutFile(kFolder + name, bytes);
    return kFolder + name;
  }
  const std::vector<sim::ShownBox>& Boxes() { return machine.Dialogs().Boxes(); }

  sim::SimMachine machine;
};

TEST_F(VersionProbes, HeaderFields) {
  using Probe = std::int32_t (*)(const std::string&);
  struct Row {
    const char* name;
    Probe probe;
    std::string bytes;
    std::int32_t version;
  };
  const Row rows[] = {
      {"short.pak", ReadPakVersion, std::string(7, '\x09'), 0},
      {"exact.pak", ReadPakVersion, std::string("\0\0\0\0\0\0\x02\x01", 8), 258},
      {"long.pak", ReadPakVersion, std::string("\0\0\0\0\0\xff\x34\x12\xff", 9), 0x1234},
      {"empty.pak", ReadPakVersion, "", 0},
      {"high.cok", ReadCokVersion, std::string("\0\0\0\0\0\xff\xff", 7), 65535},
      {"short.cok", ReadCokVersion, std::string(6, '\x07'), 0},
      {"order.cok", ReadCokVersion, std::string("\0\0\0\0\0\x01\x02\x03", 8), 0x0201},
      {"high.3bs", Read3bsVersion, std::string("\0\0\0\0\0\0\x80", 7), 128},
      {"short.3bs", Read3bsVersion, std::string(6, '\x05'), 0},
      {"one.3bs", Read3bsVersion, std::string("\0\0\0\0\0\x09\x03\x09", 8), 3},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(row.probe(Put(row.name, row.bytes)), row.version);
  }
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(VersionProbes, HeaderFieldsOfMissingFoldersAndHeldFiles) {
  const std::string pak = Put("held.pak", std::string("\0\0\0\0\0\0\x02\x01", 8));
  machine.Files().MakeFolders(std::string(kFolder) + "folder.pak");
  EXPECT_EQ(ReadPakVersion(std::string(kFolder) + "missing.pak"), 0);
  EXPECT_EQ(ReadCokVersion(std::string(kFolder) + "missing.cok"), 0);
  EXPECT_EQ(Read3bsVersion(std::string(kFolder) + "missing.3bs"), 0);
  EXPECT_EQ(ReadPakVersion(std::string(kFolder) + "folder.pak"), 0);
  {
    auto hold = machine.Files().HoldOpen(pak, platform::ShareMode::None);
    EXPECT_EQ(ReadPakVersion(pak), 0);
  }
  {
    // Others' readers with read sharing still refuse an open without sharing.
    auto hold = machine.Files().HoldOpen(pak, platform::ShareMode::Read);
    EXPECT_EQ(ReadPakVersion(pak), 0);
  }
  EXPECT_EQ(ReadPakVersion(pak), 258);  // released again
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(VersionProbes, LanguageFileVersion) {
  struct Row {
    const char* what;
    std::string text;
    std::int32_t version;  // 0 here always comes with the error box
  };
  const Row rows[] = {
      {"leading spaces", "[LangVer]\r\n  12\r\n", 12},
      {"trailing space", "[LangVer]\r\n12 \r\n", 0},
      {"no header, last line", "; comment\r\n3\r\n7", 7},
      {"no header, ended line", "; comment\r\n7\r\n", 7},
      {"no header, blank last line", "7\r\n\r\n", 0},
      {"header is the last line", "x\r\n[langver]", 0},
      {"header, line end, nothing after", "x\r\n[langver]\r\n", 0},
      {"empty file", "", 0},
      {"text after the bracket", "[langver] 2\n5\n[langver]\n6", 5},
      {"blank before the bracket", " [langver]\r\n5\r\n9", 9},
      {"blank inside the key", "[lang ver]\r\n5\r\n9", 9},
      {"lone CR dropped", "[langver]\r\n1\r3\r\n", 13},
      {"Ctrl-Z ends the file", "7\r\n\x1a\r\n8", 7},
      {"hexadecimal", "[LANGVER]\r\n$10\r\n", 16},
      {"negative", "[langver]\r\n-3", -3},
      {"a header as the value", "[langver]\r\n[langver]\r\n4", 0},
  };
  int expectedBoxes = 0;
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    const std::string path = Put("english.lng0", row.text);
    EXPECT_EQ(ReadLngVersion(path), row.version);
    if (row.version == 0) {
      ++expectedBoxes;
      ASSERT_EQ(Boxes().size(), static_cast<std::size_t>(expectedBoxes));
      EXPECT_EQ(Boxes().back().Text, "Can't handle the language support file " + path);
      EXPECT_EQ(Boxes().back().Caption, "Tarvelon");
      EXPECT_EQ(Boxes().back().Flags, 0x200010u);
    }
    EXPECT_EQ(Boxes().size(), static_cast<std::size_t>(expectedBoxes));
  }
}

TEST_F(VersionProbes, LanguageFileVersionFailures) {
  EXPECT_EQ(ReadLngVersion(std::string(kFolder) + "missing.lng"), 0);
  EXPECT_TRUE(Boxes().empty()) << "a missing file is no failure";

  const std::string held = Put("held.lng", "[langver]\r\n3\r\n");
  {
    auto hold = machine.Files().HoldOpen(held, platform::ShareMode::None);
    EXPECT_EQ(ReadLngVersion(held), 0);
    ASSERT_EQ(Boxes().size(), 1u);
  }
  {
    auto hold = machine.Files().HoldOpen(held, platform::ShareMode::Read);
    EXPECT_EQ(ReadLngVersion(held), 3);  // other readers are welcome
  }

  SetupState.UiRussian = true;
  const std::string bad = Put("russian.lng", "[langver]\r\nx\r\n");
  EXPECT_EQ(ReadLngVersion(bad), 0);
  ASSERT_EQ(Boxes().size(), 2u);
  EXPECT_EQ(Boxes().back().Text, kLangFileErrorRu + bad);
  EXPECT_TRUE(Boxes().back().Ex);
  EXPECT_EQ(Boxes().back().LanguageId, 25);
}

TEST_F(VersionProbes, FileVersionOfTheFirstTranslation) {
  const std::string russian = Put("ru.exe", sim::MakeExecutable(
      {{0x0419, 1251}, {0x0409, 1200}},
      {{"\\StringFileInfo\\041904e3\\FileVersion", "2.7.1.8"},
       {"\\StringFileInfo\\040904b0\\FileVersion", "9.9.9.9"}}));
  EXPECT_EQ(GetFileVersionString(russian), "2.7.1.8");

  // Only under the second entry: not found.
  const std::string second = Put("second.exe", sim::MakeExecutable(
      {{0x0419, 1251}, {0x0409, 1200}}, {{"\\StringFileInfo\\040904b0\\FileVersion", "1.0"}}));
  EXPECT_EQ(GetFileVersionString(second), "");

  // Hexadecimal digits of the sub-block name are lower case.
  const std::string spanish = Put("es.exe", sim::MakeExecutable(
      {{0x0C0A, 0x04E4}}, {{"\\StringFileInfo\\0c0a04e4\\FileVersion", "4.0"}}));
  EXPECT_EQ(GetFileVersionString(spanish), "4.0");
  EXPECT_EQ(machine.Versions().Calls().back().Argument, "\\StringFileInfo\\0c0a04e4\\FileVersion");

  const std::string noTable = Put("notable.exe", sim::MakeExecutable(
      {}, {{"\\StringFileInfo\\041904e3\\FileVersion", "1.0"}}));
  EXPECT_EQ(GetFileVersionString(noTable), "");
  EXPECT_EQ(GetFileVersionString(Put("plain.exe", sim::MakeExecutableWithoutVersion())), "");
}

TEST_F(VersionProbes, FileVersionOfNonExecutables) {
  EXPECT_EQ(GetFileVersionString(Put("text.exe", "FileVersion 1.0.0.0\r\n")), "");
  EXPECT_EQ(GetFileVersionString(std::string(kFolder) + "missing.exe"), "");
  EXPECT_EQ(machine.Versions().VersionResourceCalls(), 0);
  EXPECT_TRUE(Boxes().empty());
}

}  // namespace
