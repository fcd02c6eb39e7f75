// The probes of installed data files on any file bytes, through the simulated machine: a header
// probe answers its little-endian field or 0, the language file probe a number or 0 with at
// most one box, and no 0 from it without the box unless the file says 0.
#include <cstdlib>
#include <string>

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
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  sim::SimMachine machine;
  machine.Files().PutFile(kPath, bytes);
  if (ReadPakVersion(kPath) != Field(bytes, 6, 2) || ReadCokVersion(kPath) != Field(bytes, 5, 2) ||
      Read3bsVersion(kPath) != Field(bytes, 6, 1))
    std::abort();

  const std::int32_t version = ReadLngVersion(kPath);
  const std::size_t boxes = machine.Dialogs().Boxes().size();
  if (boxes > 1 || (version != 0 && boxes != 0)) std::abort();
  return 0;
}
