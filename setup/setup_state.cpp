#include "setup/setup_state.h"

#include "platform/machine.h"
#include "ui/message_boxes.h"

TSetupState SetupState;

void InitSetupState() {
  platform::Os().Sys.NoteProcessStep("InitSetupState");
  SetupState.UiRussian = DetectUiLanguage();
  SetupState.VersionMajor = product::kVersionMajor;
  SetupState.VersionMinor = product::kVersionMinor;
  SetupState.Registry = std::make_unique<TRegistry>();
}

void DoneSetupState() {
  SetupState = TSetupState();
  platform::Os().Sys.NoteProcessStep("DoneSetupState");
}

void FillProductDefinition() {
  SetupState.ProductId = product::kProductId;
  SetupState.ShortNameRu = product::kShortNameRu;
  SetupState.ShortNameEn = product::kShortNameEn;
  SetupState.LongNameRu = product::kLongNameRu;
  SetupState.LongNameEn = product::kLongNameEn;
  SetupState.VersionText = product::kVersionText;
}
