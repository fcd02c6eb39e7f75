// The probes of installed data files on any file bytes, through the simulated machine, the
// file free or held open by another program (sharing reads or not). A header probe answers its
// little-endian field, or 0 when the file is short or held; the language file probe a number,
// or 0 with at most one box.
#include <cstdlib>
#include <memory>
#include <string>

#include <fuzzer/FuzzedDataProvider.h>

#include "install/version_probes.h"
#include "platform/sim/sim_machine.h"

namespace {

const char kPath[] = "C:\\Program Files\\Tarvelon\\probed";

std::int32_t Field(const std::string& bytes, std::size_t offset, std::size_t width) {
  if (bytes.size() < offset + width) return 0;
  std::int32_t value = 0;
  for (std::size_t k = 0; k < width; ++k)
    value |= std::int32_t{static_cast<unsigned char>(bytes[offset + k])} << (8 * k);
  return value;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  const int held = input.ConsumeIntegralInRange(0, 2);  // free, held sharing reads, held alone
  const std::string bytes = input.ConsumeRemainingBytesAsString();
  sim::SimMachine machine;
  machine.Files().PutFile(kPath, bytes);
  std::unique_ptr<sim::FileHold> hold;
  if (held) hold = machine.Files().HoldOpen(kPath, held == 1 ? platform::ShareMode::Read : platform::ShareMode::None);
  if (ReadPakVersion(kPath) != (held ? 0 : Field(bytes, 6, 2)) ||
      ReadCokVersion(kPath) != (held ? 0 : Field(bytes, 5, 2)) ||
      Read3bsVersion(kPath) != (held ? 0 : Field(bytes, 6, 1)))
    std::abort();

  const std::int32_t version = ReadLngVersion(kPath);
  const std::size_t boxes = machine.Dialogs().Boxes().size();
  if (boxes > 1 || (version != 0 && boxes != 0) || (held == 2 && boxes != 1)) std::abort();
  return 0;
}
