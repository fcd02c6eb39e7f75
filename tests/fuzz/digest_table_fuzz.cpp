// The digest table decoder on any bytes: as they come, and sealed with their own correct
// digest, since damage hidden behind a wrong digest never reaches the checks of structure.
// A table the decoder accepts must encode back to the very bytes it came from.
#include <cstdlib>
#include <string>

#include "install/digest_table.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string raw(reinterpret_cast<const char*>(data), size);
  for (const std::string& bytes : {raw, SealDigestTable(raw)}) {
    const auto table = DecodeDigestTable(bytes.data(), bytes.size());
    if (table && EncodeDigestTable(*table) != bytes) std::abort();
  }
  return 0;
}
