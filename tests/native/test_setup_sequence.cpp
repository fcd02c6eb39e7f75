// The run from start to exit code: UI language, the guard, the question, every early end.
#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "setup_fixture.h"
#include "ui/message_boxes.h"

namespace {

using fixture::RootKey;
using fixture::SetupTest;

const std::string kQuestionRu =
    "\xC2\xFB \xE4\xE5\xE9\xF1\xF2\xE2\xE8\xF2\xE5\xEB\xFC\xED\xEE \xF5\xEE\xF2\xE8\xF2\xE5 "
    "\xF3\xF1\xF2\xE0\xED\xEE\xE2\xE8\xF2\xFC \xEF\xF0\xEE\xE3\xF0\xE0\xEC\xEC\xF3\r\n"
    "\"\xD2\xE0\xF0\xE2\xE5\xEB\xEE\xED 1.0.1\" - "
    "\xD0\xE0\xE1\xEE\xF7\xE5\xE5 \xEC\xE5\xF1\xF2\xEE \xD2\xE0\xF0\xE2\xE5\xEB\xEE\xED?";
const std::string kReasonableQuestionRu =
    "\xD0\xE5\xE7\xEE\xED\xED\xFB\xE9 \xE2\xEE\xEF\xF0\xEE\xF1";
const std::string kAlreadyRunningRu =
    "\xD3\xF1\xF2\xE0\xED\xEE\xE2\xF9\xE8\xEA \xEF\xF0\xEE\xE3\xF0\xE0\xEC\xEC\xFB "
    "\xD2\xE0\xF0\xE2\xE5\xEB\xEE\xED \xF3\xE6\xE5 \xF0\xE0\xE1\xEE\xF2\xE0\xE5\xF2!";

TEST_F(SetupTest, UiLanguageFollowsTheSevenLocales) {
  struct Row { std::uint32_t lcid; bool russian; };
  const Row rows[] = {{1026, true}, {1049, true}, {1058, true}, {1059, true},  {1087, true},
                      {1092, true}, {2073, true}, {1033, false}, {1088, false},
                      // Russian with another sort order, and the neutral Russian language.
                      {0x10419, false}, {0x19, false}, {2072, false}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.lcid);
    UseLocale(row.lcid);
    EXPECT_EQ(DetectUiLanguage(), row.russian);
  }
}

TEST_F(SetupTest, EnglishQuestionHasNoAsDefaultAndDecliningChangesNothing) {
  M.Dialogs().QueueAnswer(win::kIdNo);
  EXPECT_EQ(RunProgram(), 0);
  ASSERT_EQ(Boxes().size(), 1u);
  EXPECT_EQ(Boxes()[0].Text, "Would you like to setup the program?");
  EXPECT_EQ(Boxes()[0].Caption, "Sound question");
  EXPECT_EQ(Boxes()[0].Flags, 8484u);
  EXPECT_FALSE(Boxes()[0].Ex);
  EXPECT_FALSE(M.Registry().KeyExists(RootKey::LocalMachine, fixture::kUninstallKey));
  EXPECT_FALSE(M.Files().IsFolder(fixture::kInstallDir));
  EXPECT_TRUE(M.Shell().Executed().empty());
  EXPECT_TRUE(M.Log().Lines({"RegCreateKey", "RegSetValue", "CreateDirectory", "CreateForWrite"})
                  .empty());
}

TEST_F(SetupTest, RussianQuestionExactBytesWithYesAsDefault) {
  UseRussian();
  M.Dialogs().QueueAnswer(win::kIdNo);
  EXPECT_EQ(RunProgram(), 0);
  ASSERT_EQ(Boxes().size(), 1u);
  EXPECT_EQ(Boxes()[0].Text, kQuestionRu);
  EXPECT_EQ(Boxes()[0].Caption, kReasonableQuestionRu);
  EXPECT_EQ(Boxes()[0].Flags, 8228u);
  EXPECT_TRUE(Boxes()[0].Ex);
  EXPECT_EQ(Boxes()[0].LanguageId, 25);
}

TEST_F(SetupTest, OnlyYesCountsAsConsent) {
  for (int answer : {0, win::kIdNo, win::kIdOk, 2 /* IDCANCEL */}) {
    SCOPED_TRACE(answer);
    M.Dialogs().QueueAnswer(answer);
    EXPECT_EQ(RunProgram(), 0);
    EXPECT_FALSE(M.Registry().KeyExists(RootKey::LocalMachine, fixture::kUninstallKey));
    ReleaseInstanceMarker();  // the process ends
  }
}

TEST_F(SetupTest, ErrorBoxSpeaksTheUiLanguage) {
  InitSetupState();
  FillProductDefinition();
  ShowErrorBox("No access to system registry", "ru text");
  SetupState.UiRussian = true;
  ShowErrorBox("en text", "\xCD\xE5\xF2 \xE4\xEE\xF1\xF2\xF3\xEF\xE0");
  ASSERT_EQ(Boxes().size(), 2u);
  EXPECT_EQ(Boxes()[0].Text, "No access to system registry");
  EXPECT_EQ(Boxes()[0].Caption, "Tarvelon");
  EXPECT_EQ(Boxes()[0].Flags, 2097168u);
  EXPECT_FALSE(Boxes()[0].Ex);
  EXPECT_EQ(Boxes()[1].Text, "\xCD\xE5\xF2 \xE4\xEE\xF1\xF2\xF3\xEF\xE0");
  EXPECT_EQ(Boxes()[1].Caption, fixture::kTarvelonRu);
  EXPECT_EQ(Boxes()[1].Flags, 2097168u);
  EXPECT_TRUE(Boxes()[1].Ex);
  EXPECT_EQ(Boxes()[1].LanguageId, 25);
}

// Another setup holds the marker; the message decides by the exact locale.
TEST_F(SetupTest, SecondInstanceIsToldAndStopsWithNameFieldsEmpty) {
  struct Row { std::uint32_t lcid; bool russianMessage; };
  for (const Row& row : {Row{1049, true}, Row{1058, false}, Row{2073, false}, Row{1033, false}}) {
    SCOPED_TRACE(row.lcid);
    UseLocale(row.lcid);
    platform::MarkerResult first = M.Machine().Sys.CreateMarker("tvl_memfile");
    const std::size_t before = Boxes().size();
    InitSetupState();
    EXPECT_FALSE(RunSetup());
    EXPECT_TRUE(SetupState.ProductId.empty());
    EXPECT_TRUE(SetupState.ShortNameRu.empty());
    EXPECT_TRUE(SetupState.ShortNameEn.empty());
    ASSERT_EQ(Boxes().size(), before + 1);
    const sim::ShownBox& box = Boxes().back();
    EXPECT_EQ(box.Flags, 2097168u);
    EXPECT_EQ(box.Ex, row.russianMessage);
    if (row.russianMessage) {
      EXPECT_EQ(box.Text, kAlreadyRunningRu);
      EXPECT_EQ(box.Caption, fixture::kTarvelonRu);
      EXPECT_EQ(box.LanguageId, 25);
    } else {
      EXPECT_EQ(box.Text, "The Tarvelon installer is already running!");
      EXPECT_EQ(box.Caption, "Tarvelon");
    }
    // The second instance closed its own handle; the first one still holds the name.
    EXPECT_TRUE(M.System().MarkerExists("tvl_memfile"));
    first.Marker.reset();
    EXPECT_FALSE(M.System().MarkerExists("tvl_memfile"));
    DoneSetupState();
  }
}

TEST_F(SetupTest, MarkerThatCannotBeCreatedLetsTheRunGoOn) {
  M.System().FailMarkerCreation(5);
  M.Dialogs().QueueAnswer(win::kIdNo);
  EXPECT_EQ(RunProgram(), 0);
  ASSERT_EQ(Boxes().size(), 1u);
  EXPECT_EQ(Boxes()[0].Caption, "Sound question");
}

TEST_F(SetupTest, FirstInstanceKeepsItsMarkerUntilTheEnd) {
  M.Dialogs().QueueAnswer(win::kIdNo);
  InitSetupState();
  EXPECT_FALSE(RunSetup());
  EXPECT_TRUE(M.System().MarkerExists("tvl_memfile"));
  ReleaseInstanceMarker();
  EXPECT_FALSE(M.System().MarkerExists("tvl_memfile"));
}

TEST_F(SetupTest, RegistryFailureIsReportedBeforeTheQuestion) {
  M.Registry().PlantDword(RootKey::LocalMachine, fixture::kCurrentVersion, "ProgramFilesDir", 7);
  EXPECT_EQ(RunProgram(), 0);
  ASSERT_EQ(Boxes().size(), 1u);
  EXPECT_EQ(Boxes()[0].Text, "No access to system registry");
}

TEST_F(SetupTest, NonTextUninstallStringEndsInTheLastChanceReport) {
  M.Registry().PlantDword(RootKey::LocalMachine, fixture::kUninstallKey, "UninstallString", 1);
  EXPECT_EQ(RunProgram(), 1);
  ASSERT_EQ(Boxes().size(), 1u);
  EXPECT_EQ(Boxes()[0].Caption, "Application Error");
  EXPECT_EQ(Boxes()[0].Flags, 0x2010u);  // task-modal, error icon
  EXPECT_NE(Boxes()[0].Text.find("UninstallString"), std::string::npos);
  // The end steps still ran: COM down, every key closed; the marker goes with the process.
  EXPECT_EQ(M.System().ComUninitializeCount(), 1);
  EXPECT_EQ(M.Registry().OpenKeyCount(), 0);
  EXPECT_TRUE(M.System().MarkerExists("tvl_memfile"));
}

// RunProgram returns while its process still ends; a setup started in that moment is turned
// away, on every path, also the last-chance one.
TEST_F(SetupTest, RunProgramLeavesTheMarkerToTheEndOfTheProcess) {
  struct Row {
    const char* Name;
    int Answer;
    bool BadEntry;
    int ExitCode;
  };
  for (const Row& row : {Row{"declined", win::kIdNo, false, 0}, Row{"installed", win::kIdYes, false, 0},
                         Row{"last-chance report", win::kIdYes, true, 1}}) {
    SCOPED_TRACE(row.Name);
    if (row.BadEntry)
      M.Registry().PlantDword(RootKey::LocalMachine, fixture::kUninstallKey, "UninstallString", 1);
    M.Dialogs().QueueAnswer(row.Answer);
    EXPECT_EQ(RunProgram(), row.ExitCode);
    EXPECT_TRUE(M.System().MarkerExists("tvl_memfile"));
    EXPECT_EQ(M.Machine().Sys.CreateMarker("tvl_memfile").LastError, win::kErrorAlreadyExists);
    ReleaseInstanceMarker();
    EXPECT_FALSE(M.System().MarkerExists("tvl_memfile"));
  }
}

TEST_F(SetupTest, ComIsUninitialisedOnlyWhenItStarted) {
  M.Dialogs().QueueAnswer(win::kIdNo);
  M.System().SetComInitializeResult(false);
  EXPECT_EQ(RunProgram(), 0);
  EXPECT_EQ(M.System().ComInitializeCount(), 1);
  EXPECT_EQ(M.System().ComUninitializeCount(), 0);
}

TEST_F(SetupTest, SuccessfulRunStartsTheProgramFromTheInstallationFolder) {
  M.Dialogs().QueueAnswer(win::kIdYes);
  EXPECT_EQ(RunProgram(), 0);
  ASSERT_EQ(M.Shell().Executed().size(), 1u);
  const sim::ExecuteCall& start = M.Shell().Executed()[0];
  EXPECT_EQ(start.Verb, "open");
  // By its full path: a bare name would be looked for beside the setup and in the Windows
  // folder first.
  EXPECT_EQ(start.File, fixture::kInstallDir + "Tarvelon.exe");
  EXPECT_EQ(start.Directory, fixture::kInstallDir);
  EXPECT_EQ(start.ShowCommand, 1);
  EXPECT_EQ(start.CurrentDirectory, "C:\\Program Files\\Tarvelon");
  EXPECT_EQ(Boxes().size(), 1u);  // the question, no success message
}

TEST_F(SetupTest, ProgramIsNotStartedFromAnotherFolder) {
  // A planted program in the folder the setup runs from, and an installation folder that
  // cannot be entered.
  M.Files().PutFile("C:\\Downloads\\Tarvelon.exe", "planted");
  ASSERT_TRUE(M.Machine().Sys.SetCurrentDirectory("C:\\Downloads"));
  InitSetupState();
  FillProductDefinition();
  SetupState.InstallDir = "C:\\Missing\\Tarvelon\\";
  LaunchProgram();
  EXPECT_TRUE(M.Shell().Executed().empty());
}

TEST_F(SetupTest, FailedTransactionDoesNotStartTheProgram) {
  M.Registry().SetUserIsAdministrator(false);
  M.Dialogs().QueueAnswer(win::kIdYes);
  EXPECT_EQ(RunProgram(), 0);
  EXPECT_TRUE(M.Shell().Executed().empty());
  ASSERT_EQ(Boxes().size(), 2u);
  EXPECT_EQ(Boxes()[1].Text,
            "You have no right to add/remove programs!\r\nPlease contact your system administrator.");
}

TEST_F(SetupTest, FileListOfThisProduct) {
  M.Dialogs().QueueAnswer(win::kIdYes);
  InitSetupState();
  // The list is consumed by the copy loop; what it held shows in the targets written.
  EXPECT_TRUE(RunSetup());
  EXPECT_TRUE(SetupState.FileList.empty());
  const auto writes = M.Log().Lines({"CreateForWrite"});
  ASSERT_GE(writes.size(), 4u);
  EXPECT_EQ(writes[0], "CreateForWrite " + fixture::kInstallDir + "Tarvelon.exe");
  EXPECT_EQ(writes[1], "CreateForWrite " + fixture::kInstallDir + "Tarvelon.bar");
  EXPECT_EQ(writes[2], "CreateForWrite " + fixture::kInstallDir + "Tarvelon.car");
  EXPECT_EQ(writes[3], "CreateForWrite " + fixture::kInstallDir + "Uninstall.exe");
  // Exactly these four payloads, in this order, each checked against the digest table, and
  // nothing after them.
  std::vector<std::string> lookups;
  for (const auto& lookup : M.Resources().Lookups()) lookups.push_back(lookup.Type + " " + lookup.Name);
  const std::string table = "#10 PAYLOADDIGESTS";
  EXPECT_EQ(lookups, (std::vector<std::string>{"exe Tarvelon", table, "bar Tarvelon", table,
                                               "car Tarvelon", table, "exe Uninstall", table}));
  EXPECT_EQ(M.Progress().RangeMax(), 4);
}

// Nobody answers: Enter takes the default button, Yes in Russian and No in English.
TEST_F(SetupTest, EnterInstallsInRussianAndDeclinesInEnglish) {
  struct Row { std::uint32_t lcid; bool installs; };
  for (const Row& row : {Row{1033, false}, Row{1049, true}, Row{1058, true}}) {
    SCOPED_TRACE(row.lcid);
    UseLocale(row.lcid);
    const std::size_t started = M.Shell().Executed().size();
    EXPECT_EQ(RunProgram(), 0);
    ReleaseInstanceMarker();  // the process ends
    EXPECT_EQ(M.Shell().Executed().size(), started + (row.installs ? 1 : 0));
    EXPECT_EQ(M.Registry().KeyExists(RootKey::LocalMachine, fixture::kUninstallKey), row.installs);
  }
}

// The setup state comes before COM and goes after it, on every path of the run.
TEST(SetupRun, StateAndComFrameEveryRun) {
  struct Row {
    const char* name;
    std::function<void(sim::SimMachine&)> prepare;
  };
  std::unique_ptr<platform::NamedMarker> otherSetup;
  const Row rows[] = {
      {"declined", [](sim::SimMachine& m) { m.Dialogs().QueueAnswer(win::kIdNo); }},
      {"installed", [](sim::SimMachine& m) { m.Dialogs().QueueAnswer(win::kIdYes); }},
      {"second instance",
       [&](sim::SimMachine& m) { otherSetup = m.Machine().Sys.CreateMarker("tvl_memfile").Marker; }},
      {"last chance",
       [](sim::SimMachine& m) {
         m.Registry().PlantDword(RootKey::LocalMachine, fixture::kUninstallKey, "UninstallString", 1);
       }},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    sim::SimMachine m;
    fixture::FurnishMachine(m, fixture::TPayload());
    row.prepare(m);
    RunProgram();
    ReleaseInstanceMarker();  // the process ends
    otherSetup.reset();
    const auto& calls = m.Log().Calls();
    ASSERT_GE(calls.size(), 4u);
    EXPECT_EQ(calls[0].Operation, "InitSetupState");
    EXPECT_EQ(calls[1].Operation, "CoInitialize");
    EXPECT_EQ(calls[calls.size() - 2].Operation, "CoUninitialize");
    EXPECT_EQ(calls.back().Operation, "DoneSetupState");
  }
}

TEST_F(SetupTest, RunAfterAnEndedSetupIsNormal) {
  M.Dialogs().QueueAnswer(win::kIdNo);
  M.Dialogs().QueueAnswer(win::kIdNo);
  EXPECT_EQ(RunProgram(), 0);
  ReleaseInstanceMarker();  // the first setup's process ends
  EXPECT_EQ(RunProgram(), 0);
  ASSERT_EQ(Boxes().size(), 2u);
  EXPECT_EQ(Boxes()[1].Text, "Would you like to setup the program?");
}

TEST_F(SetupTest, KeyLeftOpenIsClosedWhenTheStateIsReleased) {
  InitSetupState();
  SetupState.Registry->SetRootKey(RootKey::LocalMachine);
  ASSERT_TRUE(SetupState.Registry->OpenKey(fixture::kUninstallKey, true));
  ASSERT_EQ(M.Registry().OpenKeyCount(), 1);
  DoneSetupState();
  EXPECT_EQ(M.Registry().OpenKeyCount(), 0);
  EXPECT_EQ(M.Log().Lines({"RegCloseKey", "DoneSetupState"}),
            (std::vector<std::string>{"RegCloseKey HKLM\\" + fixture::kUninstallKey,
                                      "DoneSetupState "}));
}

}  // namespace
