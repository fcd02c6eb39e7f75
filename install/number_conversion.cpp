// Text to signed 32-bit integer, as the version texts and language files need it.
#include <cstdint>
#include <string>

#include "install/version_probes.h"

namespace {

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

// Accepted: leading blanks (code 0x20 only), one optional sign, then either decimal digits or
// a hexadecimal number after "$", "x", "X", "0x" or "0X". The sign may stand before a
// hexadecimal prefix too ("-$10" is -16). Hexadecimal values are range-checked like decimal
// ones: "$FFFFFFFF" fails instead of wrapping round to -1. Anything after the digits, a tab
// included, makes the conversion fail.
bool TryStrToInt(const std::string& Text, std::int32_t& Value) {
  std::size_t i = 0;
  const std::size_t n = Text.size();
  while (i < n && Text[i] == ' ') ++i;

  bool negative = false;
  if (i < n && (Text[i] == '+' || Text[i] == '-')) {
    negative = Text[i] == '-';
    ++i;
  }

  unsigned base = 10;
  if (i < n && Text[i] == '$') {
    base = 16;
    ++i;
  } else if (i < n && (Text[i] == 'x' || Text[i] == 'X')) {
    base = 16;
    ++i;
  } else if (i + 1 < n && Text[i] == '0' && (Text[i + 1] == 'x' || Text[i + 1] == 'X')) {
    base = 16;
    i += 2;
  }

  if (i == n) return false;  // nothing, a sign alone or a prefix alone
  const std::uint64_t limit = negative ? 0x80000000ull : 0x7FFFFFFFull;
  std::uint64_t magnitude = 0;
  for (; i < n; ++i) {
    const int digit = HexDigit(Text[i]);
    if (digit < 0 || static_cast<unsigned>(digit) >= base) return false;
    magnitude = magnitude * base + static_cast<unsigned>(digit);
    if (magnitude > limit) return false;
  }
  Value = negative ? static_cast<std::int32_t>(-static_cast<std::int64_t>(magnitude))
                   : static_cast<std::int32_t>(magnitude);
  return true;
}
