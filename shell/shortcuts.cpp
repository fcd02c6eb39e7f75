#include "shell/shortcuts.h"

#include "platform/machine.h"
#include "platform/win_constants.h"
#include "setup/folders.h"
#include "shell/removal_without_links.h"

bool CreateShortcut(const std::string& Target, const std::string& LinkPath,
                    const std::string& Arguments, const std::string& Description,
                    int IconIndex) {
  // A link path without a folder part would land in whatever folder the process stands in.
  if (!IsAbsolutePath(LinkPath)) return false;
  platform::ShellLinkFields link;
  link.Target = Target;
  const auto lastBackslash = Target.rfind('\\');
  link.WorkingDirectory =
      lastBackslash == std::string::npos ? std::string() : Target.substr(0, lastBackslash + 1);
  link.Description = Description;
  link.Arguments = Arguments;
  link.ShowCommand = win::kSwShow;
  link.IconPath = Target;
  link.IconIndex = IconIndex;
  link.LinkPath = LinkPath;
  try {
    return platform::Os().Sh.SaveShellLink(link) == platform::LinkResult::Saved;
  } catch (...) {
    return false;
  }
}

void CreateWebsiteShortcut(const std::string& Path, const std::string& Url) {
  if (!IsAbsolutePath(Path)) return;
  try {
    auto file = platform::Os().Fs.CreateForWrite(Path);
    if (!file) return;
    const std::string text = "[InternetShortcut]\r\nURL=" + Url + "\r\n";
    file->Write(text.data(), text.size());
  } catch (...) {
    // A website shortcut that cannot be written is simply absent.
  }
}

bool DeleteFolderTree(const std::string& Folder) {
  // Removing a tree relative to wherever the process happens to stand is never safe.
  if (!IsAbsolutePath(Folder)) return false;
  // The shell's file operation would follow a link that the user put into his own Programs
  // folder, and a check before handing the tree over would leave him the time to put one
  // there; so the tree is removed here, from the Programs folder down, without links.
  const std::string folder = StripBackslash(Folder);
  const std::size_t lastBackslash = folder.rfind('\\');
  if (lastBackslash == std::string::npos) return false;
  return RemoveWithoutLinks(platform::Os().Fs, folder.substr(0, lastBackslash + 1), folder,
                            TRemoveWhat::Tree);
}
