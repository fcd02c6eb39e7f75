// Comparison of dotted version texts.
#include <string>

#include "install/version_probes.h"

namespace {

// One of the two texts while it is taken apart from the front.
struct TVersionText {
  std::string Rest;
  // Set once the text's last component has been taken; every later component counts as 0.
  bool Exhausted = false;

  // The component before the first "." when that "." is not the first character; the
  // component and the "." leave the text. False, the text unchanged, otherwise.
  bool TakeDotted(std::string& component) {
    const std::size_t dot = Rest.find('.');
    if (dot == std::string::npos || dot == 0) return false;
    component = Rest.substr(0, dot);
    Rest.erase(0, dot + 1);
    return true;
  }

  // The whole remainder as this text's last component (0 once the text is exhausted).
  bool TakeLast(std::int32_t& value) {
    if (Exhausted) {
      value = 0;
      return true;
    }
    Exhausted = true;
    const std::string last = Rest;
    Rest.clear();
    return TryStrToInt(last, value);
  }
};

constexpr int kDottedPasses = 3;

}  // namespace

// At most four components are compared, from the left, numerically. Within a pass the
// installed text (Second) is converted before the incoming one (First): an unconvertible
// component of Second makes the answer false, one of First makes it true, and when both
// are unconvertible at the same place Second's failure decides (false).
//
// Where the rule of the passes leaves the outcome open, these choices hold:
// - Texts with different numbers of components: when only one text still has a dotted
//   component in a pass, the other text's whole remainder is its component for that pass,
//   and every component after it counts as 0. So 1.0 equals 1.0.0 and 1.0 is older than
//   1.0.1.
// - An empty component ("1..2", ".5") is not taken as a dotted component; it ends up in a
//   remainder that does not convert, and the rules for unconvertible components decide.
// - An empty incoming text against a non-empty installed one is older (true): the empty
//   text does not convert. The reverse is false, as is the empty text against itself.
// - After three passes the fourth component is the whole remainder, dots and all; so
//   1.2.3.4.5 against 1.2.3.4.6 is false (the installed remainder "4.6" does not convert).
bool IsOlderVersion(const std::string& First, const std::string& Second) {
  TVersionText first{First};
  TVersionText second{Second};

  for (int pass = 0; pass < kDottedPasses; ++pass) {
    std::string secondText, firstText;
    std::int32_t secondValue = 0, firstValue = 0;
    const bool secondGave = second.TakeDotted(secondText);
    if (secondGave && !TryStrToInt(secondText, secondValue)) return false;
    const bool firstGave = first.TakeDotted(firstText);
    if (firstGave && !TryStrToInt(firstText, firstValue)) return true;

    if (!secondGave && !firstGave) continue;  // both texts keep their remainder
    if (!secondGave && !second.TakeLast(secondValue)) return false;
    if (!firstGave && !first.TakeLast(firstValue)) return true;
    if (firstValue != secondValue) return firstValue < secondValue;
  }

  std::int32_t secondValue = 0, firstValue = 0;
  if (!second.TakeLast(secondValue)) return false;
  if (!first.TakeLast(firstValue)) return true;
  return firstValue < secondValue;
}
