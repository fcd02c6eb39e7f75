#include "setup/uninstall_string.h"

#include <cctype>

std::string FolderOfUninstallString(const std::string& value) {
  std::string path = value;
  // Other installers quote the command; the folder is inside the quotation marks.
  if (!path.empty() && path[0] == '"') {
    path.erase(0, 1);
    const auto closing = path.find('"');
    if (closing != std::string::npos) path.erase(closing);
  }
  for (std::size_t i = path.size() >= 2 ? path.size() - 1 : 0; i-- > 0;) {
    if (path[i] == '\\') return path.substr(0, i + 1);
  }
  return {};
}

bool IsAbsolutePath(const std::string& Path) {
  const bool drive = Path.size() >= 3 && std::isalpha(static_cast<unsigned char>(Path[0])) &&
                     Path[1] == ':' && Path[2] == '\\';
  const bool unc = Path.size() >= 3 && Path[0] == '\\' && Path[1] == '\\';
  return drive || unc;
}
