// The failure boxes of the installation in both languages, byte for byte.
#include <gtest/gtest.h>

#include <functional>

#include "install/extract_payload.h"
#include "install/install_files.h"
#include "install/install_program.h"
#include "setup_fixture.h"

namespace {

const std::string kTarget = fixture::kInstallDir + "Tarvelon.exe";
const std::string kLanguageFolder = fixture::kInstallDir + "language\\";

struct TFailure {
  const char* name;
  std::function<void(sim::SimMachine&)> cause;  // runs once the state is ready to install
  std::string english;
  std::string russian;
};

TEST(FailureBoxes, TextsOfBothLanguages) {
  const TFailure failures[] = {
      {"can't install",
       [](sim::SimMachine& m) {
         m.Files().MakeFolders(fixture::kInstallDir);
         m.Files().FailOperation(sim::FileOp::CreateForWrite, kTarget);
         ExtractPayloadFile("Tarvelon", "exe", kTarget, true);
       },
       "Can't install " + kTarget,
       "\xcd\xe5\x20\xf3\xe4\xe0\xe5\xf2\xf1\xff\x20\xf3\xf1\xf2\xe0\xed\xee\xe2\xe8\xf2\xfc\x20" +
           kTarget},
      {"can't create",
       [](sim::SimMachine& m) {
         m.Files().MakeFolders(fixture::kInstallDir);
         m.Files().FailOperation(sim::FileOp::CreateDirectory);
         m.Resources().AddResource("LNG", "ENG", "x");
         SetupState.FileList = "eng.lng;";
         EXPECT_FALSE(InstallFiles());
       },
       "Can't create " + kLanguageFolder + ".",
       "\xcd\xe5\x20\xf3\xe4\xe0\xb8\xf2\xf1\xff\x20\xf1\xee\xe7\xe4\xe0\xf2\xfc\x20\xef\xe0\xef"
       "\xea\xf3\x20" +
           kLanguageFolder + "."},
      {"no rights",
       [](sim::SimMachine& m) {
         m.Registry().SetUserIsAdministrator(false);
         EXPECT_FALSE(InstallProgram(true));
       },
       "You have no right to add/remove programs!\r\nPlease contact your system administrator.",
       "\xd3\x20\xc2\xe0\xf1\x20\xed\xe5\xf2\x20\xef\xf0\xe0\xe2\xe0\x20\xf3\xf1\xf2\xe0\xed\xe0"
       "\xe2\xeb\xe8\xe2\xe0\xf2\xfc\x20\xef\xf0\xee\xe3\xf0\xe0\xec\xec\xfb\x21\r\n"
       "\xce\xe1\xf0\xe0\xf2\xe8\xf2\xe5\xf1\xfc\x20\xea\x20\xf1\xe8\xf1\xf2\xe5\xec\xed\xee\xec"
       "\xf3\x20\xe0\xe4\xec\xe8\xed\xe8\xf1\xf2\xf0\xe0\xf2\xee\xf0\xf3\x2e"},
  };
  const fixture::TPayload payload;
  for (const TFailure& failure : failures) {
    for (std::uint32_t lcid : {1033u, 1049u}) {
      const bool russian = lcid == 1049;
      SCOPED_TRACE(std::string(failure.name) + (russian ? ", Russian" : ", English"));
      sim::SimMachine m;
      fixture::FurnishMachine(m, payload);
      m.System().SetUserDefaultLcid(lcid);
      InitSetupState();
      FillProductDefinition();
      ASSERT_TRUE(DetectFolders());
      failure.cause(m);
      ASSERT_EQ(m.Dialogs().Boxes().size(), 1u);
      const sim::ShownBox& box = m.Dialogs().Boxes()[0];
      EXPECT_EQ(box.Text, russian ? failure.russian : failure.english);
      EXPECT_EQ(box.Caption, russian ? fixture::kTarvelonRu : "Tarvelon");
      EXPECT_EQ(box.Flags, 2097168u);
      EXPECT_EQ(box.Ex, russian);
      EXPECT_EQ(box.LanguageId, russian ? 25 : 0);
      DoneSetupState();
    }
  }
}

}  // namespace
