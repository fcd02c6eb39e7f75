#include "setup/setup_sequence.h"

#include <exception>
#include <memory>

#include "install/install_program.h"
#include "platform/machine.h"
#include "platform/win_constants.h"
#include "setup/folders.h"
#include "setup/setup_state.h"
#include "setup/setup_texts.h"
#include "ui/message_boxes.h"

namespace {

// The first instance holds the marker until the process ends; it is never closed earlier.
std::unique_ptr<platform::NamedMarker> InstanceMarker;

constexpr std::uint32_t kRussianRussiaLcid = 1049;

bool AskConfirmation() {
  const TSetupState& s = SetupState;
  if (s.UiRussian)
    return IsYes(ShowBox(true, setup_texts::QuestionRu(s.ShortNameRu, s.VersionText, s.LongNameRu),
                         setup_texts::kQuestionCaptionRu, flags::kQuestionYesDefault));
  return IsYes(ShowBox(false, setup_texts::kQuestionEn, setup_texts::kQuestionCaptionEn,
                       flags::kQuestionNoDefault));
}

void ShowLastChanceReport(const std::string& error) {
  platform::Os().Boxes.MessageBox(error, setup_texts::kApplicationErrorCaption,
                                  flags::kApplicationError);
}

}  // namespace

bool CheckSingleInstance() {
  auto& sys = platform::Os().Sys;
  platform::MarkerResult created = sys.CreateMarker(setup_texts::kMarkerName);
  if (created.LastError != win::kErrorAlreadyExists) {
    // Also a marker that could not be created at all: the guard lets the run go on.
    InstanceMarker = std::move(created.Marker);
    return true;
  }
  // The second-instance message decides by the exact locale, not by the UI-language rule:
  // a Ukrainian user gets the English message here.
  if (sys.UserDefaultLcid() == kRussianRussiaLcid)
    ShowBox(true, setup_texts::SingleInstanceRu(product::kShortNameRu), product::kShortNameRu,
            flags::kErrorBox);
  else
    ShowBox(false, setup_texts::SingleInstanceEn(product::kShortNameEn), product::kShortNameEn,
            flags::kErrorBox);
  return false;  // `created` closes the handle here
}

bool RunSetup() {
  if (!CheckSingleInstance()) return false;
  FillProductDefinition();
  if (!DetectFolders()) return false;
  if (!AskConfirmation()) return false;
  const std::string& id = SetupState.ProductId;
  SetupState.FileList = id + ".exe;" + id + ".bar;" + id + ".car;Uninstall.exe;";
  return InstallProgram(true);
}

void LaunchProgram() {
  auto& os = platform::Os();
  const std::string& folder = SetupState.InstallDir;
  // Where the installation folder cannot be entered, the current folder is still the one the
  // setup was started from (often Downloads): nothing is started at all.
  if (!os.Sys.SetCurrentDirectory(folder)) return;
  // The full path: a bare name is resolved by a search that looks in the setup's own folder
  // and in the Windows folder before the current one, and a program of that name planted there
  // would run elevated in the product's place.
  os.Sh.Execute("open", folder + SetupState.ProductId + ".exe", folder, win::kSwShowNormal);
}

void ReleaseInstanceMarker() { InstanceMarker.reset(); }

int RunProgram() {
  int exitCode = 0;
  bool comStarted = false;
  try {
    InitSetupState();
    comStarted = platform::Os().Sys.ComInitialize();
    if (RunSetup()) LaunchProgram();
  } catch (const std::exception& error) {
    ShowLastChanceReport(std::string(setup_texts::kUnexpectedError) + ":\r\n" + error.what());
    exitCode = 1;
  } catch (...) {
    ShowLastChanceReport(std::string(setup_texts::kUnexpectedError) + ".");
    exitCode = 1;
  }
  if (comStarted) platform::Os().Sys.ComUninitialize();
  DoneSetupState();
  // The marker is not released here: a second setup started while this process is still
  // ending must still be turned away. It closes with the process.
  return exitCode;
}
