// The comparison of version texts and the number conversion beneath it. No text is older than
// itself, two texts are never each older than the other, and a plain decimal number converts
// to the value the C library reads from it.
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <string>

#include <fuzzer/FuzzedDataProvider.h>

#include "install/version_probes.h"

namespace {

bool PlainDecimal(const std::string& text) {
  std::size_t i = text.find_first_not_of(' ');
  if (i != std::string::npos && (text[i] == '+' || text[i] == '-')) ++i;
  return i < text.size() && text.find_first_not_of("0123456789", i) == std::string::npos;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  const std::string first = input.ConsumeRandomLengthString(64);
  const std::string second = input.ConsumeRemainingBytesAsString();

  if (IsOlderVersion(first, first) || (IsOlderVersion(first, second) && IsOlderVersion(second, first)))
    std::abort();

  std::int32_t value = 0;
  const bool converted = TryStrToInt(first, value);
  if (PlainDecimal(first)) {
    errno = 0;
    const long long expected = std::strtoll(first.c_str(), nullptr, 10);
    const bool inRange = errno == 0 && expected >= INT32_MIN && expected <= INT32_MAX;
    if (converted != inRange || (converted && value != expected)) std::abort();
  }
  return 0;
}
