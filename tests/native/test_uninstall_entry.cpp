// The uninstall entry: its ten values, their types and exact bytes, and refused writes.
#include <gtest/gtest.h>

#include "setup_fixture.h"
#include "shell/uninstall_entry.h"

namespace {

using fixture::RootKey;
using fixture::SetupTest;

std::string Sz(const std::string& text) { return text + '\0'; }
std::string Dword(std::uint32_t v) {
  return std::string{static_cast<char>(v & 0xFF), static_cast<char>((v >> 8) & 0xFF),
                     static_cast<char>((v >> 16) & 0xFF), static_cast<char>(v >> 24)};
}

class UninstallEntryTest : public SetupTest {
 protected:
  std::optional<sim::RegValue> Value(const std::string& name) {
    return M.Registry().Value(RootKey::LocalMachine, fixture::kUninstallKey, name);
  }
  void ExpectValue(const std::string& name, std::uint32_t type, const std::string& data) {
    SCOPED_TRACE(name);
    const auto value = Value(name);
    ASSERT_TRUE(value.has_value());
    EXPECT_EQ(value->Type, type);
    EXPECT_EQ(value->Data, data);
  }
};

TEST_F(UninstallEntryTest, TenValuesInOrderWithExactBytes) {
  PrepareRun();
  WriteUninstallEntry();
  const std::string url = SetupState.WebsiteUrl;
  ASSERT_NE(url.back(), '/');
  EXPECT_EQ(M.Registry().ValueNames(RootKey::LocalMachine, fixture::kUninstallKey),
            (std::vector<std::string>{"DisplayName", "UninstallString", "InstallLocation",
                                      "InstallDate", "Publisher", "URLInfoAbout", "HelpLink",
                                      "URLUpdateInfo", "NoModify", "NoRepair"}));
  ExpectValue("DisplayName", win::kRegSz, Sz("Tarvelon"));
  ExpectValue("UninstallString", win::kRegSz, Sz("C:\\Program Files\\Tarvelon\\Uninstall.exe"));
  ExpectValue("InstallLocation", win::kRegSz, Sz("C:\\Program Files\\Tarvelon"));
  ExpectValue("InstallDate", win::kRegSz, Sz("20261209"));
  ExpectValue("Publisher", win::kRegSz, Sz(SetupState.PublisherNameEn));
  ExpectValue("URLInfoAbout", win::kRegSz, Sz(url));
  ExpectValue("HelpLink", win::kRegSz, Sz(url + "/Tarvelon.htm"));
  ExpectValue("URLUpdateInfo", win::kRegSz, Sz(url + "/Tarvelon.htm"));
  ExpectValue("NoModify", win::kRegDword, Dword(1));
  ExpectValue("NoRepair", win::kRegDword, Dword(1));
  // The key stays open for the transaction to close.
  EXPECT_TRUE(SetupState.Registry->HasCurrentKey());
}

TEST_F(UninstallEntryTest, RussianUiChangesOnlyNameAndPublisher) {
  UseRussian();
  PrepareRun();
  WriteUninstallEntry();
  ExpectValue("DisplayName", win::kRegSz, Sz(fixture::kTarvelonRu));
  ExpectValue("Publisher", win::kRegSz, Sz(SetupState.PublisherNameRu));
  ExpectValue("HelpLink", win::kRegSz, Sz(SetupState.WebsiteUrl + "/Tarvelon.htm"));
  EXPECT_NE(SetupState.PublisherNameRu, SetupState.PublisherNameEn);
}

TEST_F(UninstallEntryTest, RewriteKeepsOtherValuesAndWritesVersionsOnlyWhenSet) {
  auto& reg = M.Registry();
  reg.PlantDword(RootKey::LocalMachine, fixture::kUninstallKey, "VersionMajor", 7);
  reg.PlantString(RootKey::LocalMachine, fixture::kUninstallKey, "Comments", "kept");
  reg.PlantString(RootKey::LocalMachine, fixture::kUninstallKey, "DisplayName", "Old name");
  PrepareRun();
  WriteUninstallEntry();
  ExpectValue("VersionMajor", win::kRegDword, Dword(7));
  ExpectValue("Comments", win::kRegSz, Sz("kept"));
  ExpectValue("DisplayName", win::kRegSz, Sz("Tarvelon"));
  EXPECT_FALSE(Value("VersionMinor").has_value());

  SetupState.Registry->CloseKey();
  SetupState.VersionMajor = 2;
  SetupState.VersionMinor = 0;
  WriteUninstallEntry();
  ExpectValue("VersionMajor", win::kRegDword, Dword(2));
  ExpectValue("VersionMinor", win::kRegDword, Dword(0));
}

TEST_F(UninstallEntryTest, RefusedWriteStopsAtThatValue) {
  PrepareRun();
  M.Registry().FailWritesOf("InstallDate");
  EXPECT_THROW(WriteUninstallEntry(), ERegistryError);
  EXPECT_EQ(M.Registry().ValueNames(RootKey::LocalMachine, fixture::kUninstallKey),
            (std::vector<std::string>{"DisplayName", "UninstallString", "InstallLocation"}));
}

TEST_F(UninstallEntryTest, UserWithoutRightsStoresNothing) {
  PrepareRun();
  M.Registry().SetUserIsAdministrator(false);
  EXPECT_THROW(WriteUninstallEntry(), ERegistryError);
  EXPECT_FALSE(M.Registry().KeyExists(RootKey::LocalMachine, fixture::kUninstallKey));
}

TEST_F(UninstallEntryTest, DateStampIsEightDigits) {
  struct Row { int y, m, d; const char* stamp; };
  for (const Row& row : {Row{2027, 1, 5, "20270105"}, Row{2026, 12, 31, "20261231"},
                         Row{1999, 3, 7, "19990307"}, Row{2025, 10, 10, "20251010"},
                         Row{2025, 11, 9, "20251109"}, Row{2024, 9, 30, "20240930"}}) {
    SCOPED_TRACE(row.stamp);
    M.System().SetToday(row.y, row.m, row.d);
    EXPECT_EQ(DateStamp(), row.stamp);
  }
}

}  // namespace
