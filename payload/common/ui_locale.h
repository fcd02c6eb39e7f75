// The language rule shared by the product's programs: Russian for the locales whose ANSI code
// page is Windows-1251 and that the product serves in Russian, English for every other one.
#pragma once

#include <cstdint>

// True when the locale identifier (language and sub-language together, as GetUserDefaultLCID
// returns it) is one of the seven Russian-UI locales; any other identifier, including another
// sub-language or sort order of the same language, gives false.
inline bool IsRussianUiLocale(std::uint32_t lcid) {
  constexpr std::uint32_t kRussianUiLocales[] = {1026, 1049, 1058, 1059, 1087, 1092, 2073};
  for (std::uint32_t id : kRussianUiLocales)
    if (id == lcid) return true;
  return false;
}
