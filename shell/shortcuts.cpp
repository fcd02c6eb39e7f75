#include "shell/shortcuts.h"

#include "platform/machine.h"
#include "platform/win_constants.h"
#include "setup/folders.h"

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
  const std::string folder = StripBackslash(Folder);
  auto& os = platform::Os();
  if (!os.Fs.DirectoryExists(folder)) return false;
  std::string fromList = folder;
  fromList.push_back('\0');
  fromList.push_back('\0');
  return os.Sh.FileOperation(win::kFoDelete, fromList,
                             win::kFofSilent | win::kFofNoConfirmation) == 0;
}
