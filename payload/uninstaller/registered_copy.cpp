#include "payload/uninstaller/registered_copy.h"

#include <cctype>

TRegistration CheckRegistration(const std::string& ownPath, const TUninstallEntry& entry) {
  const std::string ownFolder = FolderOfPath(ownPath);
  if (!IsAbsoluteWindowsPath(ownPath) || ownFolder.empty()) return TRegistration::OwnPathUnknown;
  if (!entry.KeyPresent) return TRegistration::Unregistered;
  if (!entry.ValuePresent || !entry.IsText) return TRegistration::EntryDamaged;
  const std::string registered = UninstallStringFolder(entry.Text);
  if (!IsAbsoluteWindowsPath(registered)) return TRegistration::EntryDamaged;
  return EqualIgnoringAsciiCase(ownFolder, registered) ? TRegistration::Registered : TRegistration::OtherFolder;
}

std::string UninstallStringFolder(const std::string& value) {
  std::string path = value;
  if (!path.empty() && path[0] == '"') {
    path.erase(0, 1);
    const auto closing = path.find('"');
    if (closing != std::string::npos) path.erase(closing);
  }
  // The last character is never examined, so "D:\Apps\Tarvelon\" gives "D:\Apps\".
  for (std::size_t i = path.size() >= 2 ? path.size() - 1 : 0; i-- > 0;)
    if (path[i] == '\\') return path.substr(0, i + 1);
  return {};
}

bool IsAbsoluteWindowsPath(const std::string& path) {
  const bool drive = path.size() >= 3 && std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':' &&
                     path[2] == '\\';
  const bool unc = path.size() >= 3 && path[0] == '\\' && path[1] == '\\';
  return drive || unc;
}

std::string FolderOfPath(const std::string& path) {
  const auto slash = path.find_last_of('\\');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

bool EqualIgnoringAsciiCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    const unsigned char x = static_cast<unsigned char>(a[i]), y = static_cast<unsigned char>(b[i]);
    const auto lower = [](unsigned char c) { return c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c; };
    if (lower(x) != lower(y)) return false;
  }
  return true;
}
