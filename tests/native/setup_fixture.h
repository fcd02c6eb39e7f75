#pragma once
// A simulated Windows machine as a user typically has it, and helpers to run the setup on it.
#include <gtest/gtest.h>

#include <string>

#include "platform/sim/sim_machine.h"
#include "platform/win_constants.h"
#include "setup/folders.h"
#include "setup/setup_sequence.h"
#include "setup/setup_state.h"

namespace fixture {

using platform::RootKey;

inline const std::string kCurrentVersion = "Software\\Microsoft\\Windows\\CurrentVersion\\";
inline const std::string kShellFolders = kCurrentVersion + "Explorer\\Shell Folders";
inline const std::string kUninstallKey = kCurrentVersion + "Uninstall\\Tarvelon";
inline const std::string kProgramFiles = "C:\\Program Files";
inline const std::string kCommonPrograms = "C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs";
inline const std::string kUserPrograms =
    "C:\\Users\\Ann\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs";
inline const std::string kCommonDesktop = "C:\\Users\\Public\\Desktop";
inline const std::string kInstallDir = "C:\\Program Files\\Tarvelon\\";

// Windows-1251 bytes, written out so the tests do not depend on the compiler's conversion.
inline const std::string kTarvelonRu = "\xD2\xE0\xF0\xE2\xE5\xEB\xEE\xED";

// Payload bytes: distinct per file so a file written to the wrong place is caught.
inline std::string PayloadBytes(const std::string& seed, std::size_t size) {
  std::string bytes(size, '\0');
  unsigned state = 2166136261u;
  for (char c : seed) state = (state ^ static_cast<unsigned char>(c)) * 16777619u;
  for (std::size_t i = 0; i < size; ++i) {
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    bytes[i] = static_cast<char>(state & 0xFF);
  }
  return bytes;
}

// The product's four payload files as the tests' setup program carries them.
struct TPayload {
  std::string ProgramBytes = sim::MakeExecutableWithFileVersion("1.0.1.0") + PayloadBytes("exe", 3000);
  std::string UninstallerBytes =
      sim::MakeExecutableWithFileVersion("1.0.1.0") + PayloadBytes("un", 700);
  std::string BarBytes = PayloadBytes("bar", 20000);
  std::string CarBytes = PayloadBytes("car", 9000);
};

// Registry values, folders, date and payload of a typical machine.
inline void FurnishMachine(sim::SimMachine& m, const TPayload& payload) {
  auto& reg = m.Registry();
  reg.PlantString(RootKey::LocalMachine, kCurrentVersion, "ProgramFilesDir", kProgramFiles);
  reg.PlantString(RootKey::LocalMachine, kShellFolders, "Common Desktop", kCommonDesktop);
  reg.PlantString(RootKey::LocalMachine, kShellFolders, "Common Programs", kCommonPrograms);
  reg.PlantString(RootKey::CurrentUser, kShellFolders, "Programs", kUserPrograms);
  auto& fs = m.Files();
  fs.MakeFolders(kProgramFiles);
  fs.MakeFolders(kCommonPrograms);
  fs.MakeFolders(kUserPrograms);
  fs.MakeFolders(kCommonDesktop);
  m.System().SetToday(2026, 12, 9);
  auto& res = m.Resources();
  res.AddResource("EXE", "TARVELON", payload.ProgramBytes);
  res.AddResource("BAR", "TARVELON", payload.BarBytes);
  res.AddResource("CAR", "TARVELON", payload.CarBytes);
  res.AddResource("EXE", "UNINSTALL", payload.UninstallerBytes);
}

class SetupTest : public ::testing::Test, protected TPayload {
 protected:
  sim::SimMachine M;

  SetupTest() { FurnishMachine(M, *this); }

  ~SetupTest() override {
    ReleaseInstanceMarker();
    DoneSetupState();
  }

  void UseLocale(std::uint32_t lcid) { M.System().SetUserDefaultLcid(lcid); }
  void UseRussian() { UseLocale(1049); }

  // The state as the run has it right before the question: language, definition, folders.
  void PrepareRun() {
    InitSetupState();
    FillProductDefinition();
    ASSERT_TRUE(DetectFolders());
  }
  // ... and right before the install transaction.
  void PrepareInstall() {
    PrepareRun();
    SetupState.FileList = "Tarvelon.exe;Tarvelon.bar;Tarvelon.car;Uninstall.exe;";
  }

  const std::vector<sim::ShownBox>& Boxes() { return M.Dialogs().Boxes(); }
  std::optional<std::string> File(const std::string& path) { return M.Files().ReadFile(path); }
};

}  // namespace fixture
