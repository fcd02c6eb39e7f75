#pragma once
// Windows matches file, key, value and resource names without regard to letter case. The
// simulated machine folds ASCII letters and the Cyrillic letters of Windows-1251, the code
// page of the program's Russian names.
#include <string>

namespace sim {

std::string FoldCase(const std::string& text);
bool SameText(const std::string& a, const std::string& b);

}  // namespace sim
