#include "platform/sim/sim_case.h"

namespace sim {

std::string FoldCase(const std::string& text) {
  std::string folded = text;
  for (char& c : folded) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 'a' && byte <= 'z') {
      c = static_cast<char>(byte - 'a' + 'A');
    } else if (byte >= 0xE0) {  // Windows-1251 small а..я
      c = static_cast<char>(byte - 0x20);
    } else if (byte == 0xB8) {  // ё
      c = static_cast<char>(0xA8);
    }
  }
  return folded;
}

bool SameText(const std::string& a, const std::string& b) { return FoldCase(a) == FoldCase(b); }

}  // namespace sim
