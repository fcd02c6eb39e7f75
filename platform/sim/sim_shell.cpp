#include "platform/sim/sim_shell.h"

#include "platform/sim/sim_case.h"
#include "platform/win_constants.h"

namespace sim {
namespace {

// Result codes of SHFileOperationA that the simulation gives.
constexpr int kDeInvalidFiles = 0x7C;
constexpr int kDeAccessDenied = 0x78;

std::vector<std::string> SplitList(const std::string& list) {
  std::vector<std::string> paths;
  std::size_t start = 0;
  while (start < list.size()) {
    const std::size_t end = list.find('\0', start);
    if (end == std::string::npos || end == start) break;
    paths.push_back(list.substr(start, end - start));
    start = end + 1;
  }
  return paths;
}

}  // namespace

int SimShell::FileOperation(std::uint32_t function, const std::string& fromList,
                            std::uint16_t flags) {
  fileOperations_.push_back({function, fromList, flags, 0});
  int& result = fileOperations_.back().Result;
  std::string described;
  for (const std::string& path : SplitList(fromList)) described += (described.empty() ? "" : ";") + path;
  if (!log_.Enter("ShellFileOperation", described)) return result = kDeAccessDenied;
  if (function != win::kFoDelete) {
    log_.MarkLastFailed();
    return result = kDeInvalidFiles;
  }
  for (const std::string& path : SplitList(fromList)) {
    const int status = files_.DeleteTree(path);
    if (status != 0 && result == 0) result = status == 2 ? kDeInvalidFiles : status;
  }
  if (result != 0) log_.MarkLastFailed();
  return result;
}

std::string SimShell::LinkFileBytes(const platform::ShellLinkFields& link) {
  return "[SimShellLink]\r\nTarget=" + link.Target + "\r\nWorkingDirectory=" +
         link.WorkingDirectory + "\r\nDescription=" + link.Description + "\r\nArguments=" +
         link.Arguments + "\r\nShowCommand=" + std::to_string(link.ShowCommand) +
         "\r\nIcon=" + link.IconPath + "," + std::to_string(link.IconIndex) + "\r\n";
}

platform::LinkResult SimShell::SaveShellLink(const platform::ShellLinkFields& link) {
  const std::optional<std::string> full = files_.FullPath(link.LinkPath);
  if (!log_.Enter("SaveShellLink", full.value_or(link.LinkPath)))
    return platform::LinkResult::SaveFailed;
  const std::string key = full ? FoldCase(*full) : std::string();
  for (const std::string& faultKey : {key, std::string()}) {
    const auto fault = linkFaults_.find(faultKey);
    if (fault != linkFaults_.end()) {
      log_.MarkLastFailed();
      return fault->second;
    }
  }
  if (!full || !files_.StoreFile(*full, LinkFileBytes(link))) {
    log_.MarkLastFailed();
    return platform::LinkResult::SaveFailed;
  }
  savedLinks_.push_back(link);
  linksByPath_[key] = link;
  return platform::LinkResult::Saved;
}

std::optional<platform::ShellLinkFields> SimShell::Link(const std::string& linkPath) const {
  const std::optional<std::string> full = files_.FullPath(linkPath);
  // A link whose file was deleted since is gone, as on the disk.
  if (!full || !files_.IsFile(*full)) return std::nullopt;
  const auto link = linksByPath_.find(FoldCase(*full));
  if (link == linksByPath_.end()) return std::nullopt;
  return link->second;
}

void SimShell::FailLinks(platform::LinkResult result, const std::string& linkPath) {
  std::string key;
  if (!linkPath.empty()) key = FoldCase(files_.FullPath(linkPath).value_or(linkPath));
  linkFaults_[key] = result;
}

void SimShell::Execute(const std::string& verb, const std::string& file,
                       const std::string& directory, int showCommand) {
  if (!log_.Enter("Execute", verb + " " + file)) return;
  executed_.push_back({verb, file, directory, showCommand, files_.CurrentDirectory()});
}

}  // namespace sim
