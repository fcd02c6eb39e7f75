// The uninstaller's deletions below the Programs and Desktop folders, which elevated code must
// never do through a link (see shell/removal_without_links.h); everything else passes on.
// No Windows header here: the native tests run it on the simulated machine.
#pragma once

#include <string>
#include <vector>

#include "payload/uninstaller/uninstall_plan.h"

namespace platform {
class Files;
}

class TActionsWithoutLinks : public TUninstallActions {
 public:
  // `folders`: the Programs folders (the user's and the common one) and the common Desktop;
  // empty ones are ignored. A path below one of them is looked at and removed only through
  // real folders from there down; a link in its place is removed itself. Any other path, the
  // product files' checks and the registry go to `elsewhere`.
  TActionsWithoutLinks(TUninstallActions& elsewhere, platform::Files& files, std::vector<std::string> folders);

  bool FileExists(const std::string& path) override;
  bool CanRemove(const std::string& path) override;
  bool RemoveFile(const std::string& path) override;
  bool RemoveEmptyFolder(const std::string& dir) override;
  bool DeleteMachineKey(const std::string& key) override;

 private:
  // The folder of `folders` that `path` lies below; empty when none.
  std::string BaseOf(const std::string& path) const;

  TUninstallActions& Elsewhere;
  platform::Files& Files;
  std::vector<std::string> Folders;  // each with its final backslash
};
