#include "payload/uninstaller/actions_without_links.h"

#include "payload/uninstaller/registered_copy.h"
#include "shell/removal_without_links.h"

TActionsWithoutLinks::TActionsWithoutLinks(TUninstallActions& elsewhere, platform::Files& files,
                                           std::vector<std::string> folders)
    : Elsewhere(elsewhere), Files(files) {
  for (std::string& folder : folders) {
    if (folder.empty()) continue;
    if (folder.back() != '\\') folder += '\\';
    Folders.push_back(folder);
  }
}

std::string TActionsWithoutLinks::BaseOf(const std::string& path) const {
  for (const std::string& folder : Folders)
    if (path.size() > folder.size() && EqualIgnoringAsciiCase(path.substr(0, folder.size()), folder))
      return folder;
  return {};
}

bool TActionsWithoutLinks::FileExists(const std::string& path) {
  const std::string base = BaseOf(path);
  return base.empty() ? Elsewhere.FileExists(path) : FileOrLinkWithoutLinks(Files, base, path);
}

bool TActionsWithoutLinks::CanRemove(const std::string& path) { return Elsewhere.CanRemove(path); }

bool TActionsWithoutLinks::RemoveFile(const std::string& path) {
  const std::string base = BaseOf(path);
  return base.empty() ? Elsewhere.RemoveFile(path) : RemoveWithoutLinks(Files, base, path, TRemoveWhat::File);
}

bool TActionsWithoutLinks::RemoveEmptyFolder(const std::string& dir) {
  const std::string base = BaseOf(dir);
  return base.empty() ? Elsewhere.RemoveEmptyFolder(dir)
                      : RemoveWithoutLinks(Files, base, dir, TRemoveWhat::EmptyFolder);
}

bool TActionsWithoutLinks::DeleteMachineKey(const std::string& key) { return Elsewhere.DeleteMachineKey(key); }
