#include "payload/uninstaller/registered_copy.h"

#include <cctype>

TRegistration CheckRegistration(const std::string& ownPath, const TUninstallEntry& entry) {
  const std::string ownFolder = FolderOfPath(ownPath);
  if (!IsAbsolutePath(ownPath) || ownFolder.empty()) return TRegistration::OwnPathUnknown;
  if (!entry.KeyPresent) return TRegistration::Unregistered;
  if (!entry.ValuePresent || !entry.IsText) return TRegistration::EntryDamaged;
  const std::string registered = FolderOfUninstallString(entry.Text);
  if (!IsAbsolutePath(registered)) return TRegistration::EntryDamaged;
  return EqualIgnoringAsciiCase(ownFolder, registered) ? TRegistration::Registered : TRegistration::OtherFolder;
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
