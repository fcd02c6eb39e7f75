// Lookups in language support files of any bytes, through the simulated machine: the active
// file and the default file are both taken from the input, the key and the options too, and
// whether another program holds one of them so that it cannot be read. A lookup of one line
// never returns more than one line.
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include <fuzzer/FuzzedDataProvider.h>

#include "platform/sim/sim_machine.h"
#include "setup/setup_state.h"
#include "ui/language_files.h"

namespace {

const char* const kKeys[] = {"filesinstall", "soundquest", "olderfilever", "langver"};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  sim::SimMachine machine;
  SetupState.InstallDir = "C:\\Program Files\\Tarvelon\\";
  SetupState.UiRussian = input.ConsumeBool();
  const bool skipFirstLine = input.ConsumeBool();
  const std::string key = input.ConsumeBool() ? kKeys[input.ConsumeIntegralInRange(0, 3)]
                                              : input.ConsumeRandomLengthString(16);
  std::vector<std::string> args;
  for (int k = input.ConsumeIntegralInRange(1, 4); k > 0; --k) args.push_back(input.ConsumeRandomLengthString(8));
  const int held = input.ConsumeIntegralInRange(0, 2);  // none, the active file, the default file
  const std::string folder = SetupState.InstallDir + "language\\";
  machine.Files().PutFile(folder + "active.lng", input.ConsumeRandomLengthString(4096));
  machine.Files().PutFile(folder + "default.lng", input.ConsumeRemainingBytesAsString());
  std::unique_ptr<sim::FileHold> hold;
  if (held) hold = machine.Files().HoldOpen(folder + (held == 1 ? "active.lng" : "default.lng"));

  TLanguageTable table;
  table.Files = {"active.lng", "default.lng"};
  table.Active = 0;
  table.DefaultRu = table.DefaultEn = 1;
  SetLanguageTable(table);
  if (LangString(key).find_first_of("\r\n") != std::string::npos) std::abort();
  LangText(key, skipFirstLine);
  LangFormat(key, args, skipFirstLine);
  DoneLanguageFiles();
  SetupState = TSetupState();
  return 0;
}
