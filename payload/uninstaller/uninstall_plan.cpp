#include "payload/uninstaller/uninstall_plan.h"

#include <algorithm>
#include <cstdlib>

#include "payload/uninstaller/registered_copy.h"

namespace {

// The names the setup gives the product's files, groups and links.
const char* const kInstalledFiles[] = {"Tarvelon.exe", "Tarvelon.bar", "Tarvelon.car"};
const char kUninstallerName[] = "Uninstall.exe";

struct TGroupNames {
  const char* Group;
  const char* ProgramLink;
  const char* UninstallLink;
  const char* WebsiteLink;
};
const TGroupNames kGroupNames[] = {
    {"Tarvelon", "Tarvelon.lnk", "Uninstall the program.lnk", "Program's website.url"},
    {"Тарвелон", "Тарвелон.lnk", "Удаление программы.lnk", "Интернет-сайт программы.url"},
};

std::string WithBackslash(std::string path) {
  if (!path.empty() && path.back() != '\\') path += '\\';
  return path;
}

bool IsSwitch(const std::string& arg, const char* name) {
  if (arg.size() < 2 || (arg[0] != '/' && arg[0] != '-')) return false;
  return EqualIgnoringAsciiCase(arg.substr(1), name);
}

bool ParseHandle(const std::string& text, std::uint64_t& value) {
  if (text.empty()) return false;
  for (char c : text)
    if (c < '0' || c > '9') return false;
  value = std::strtoull(text.c_str(), nullptr, 10);
  return true;
}

}  // namespace

TUninstallPlan BuildUninstallPlan(const TUninstallFolders& folders) {
  TUninstallPlan plan;
  plan.InstallDir = WithBackslash(folders.InstallDir);
  for (const char* name : kInstalledFiles) {
    plan.ProductFiles.push_back(plan.InstallDir + name);
    plan.ProductFiles.push_back(plan.InstallDir + name + "0");
  }
  plan.ProductFiles.push_back(plan.InstallDir + kUninstallerName + "0");
  plan.SelfPath = folders.SelfPath;
  // A renamed uninstaller may carry a product file's name; it goes last, with the self-removal.
  const auto isSelf = [&](const std::string& path) { return EqualIgnoringAsciiCase(path, plan.SelfPath); };
  plan.ProductFiles.erase(std::remove_if(plan.ProductFiles.begin(), plan.ProductFiles.end(), isSelf),
                          plan.ProductFiles.end());
  if (!folders.Registered) return plan;

  std::vector<std::string> programs;
  for (const std::string& base : {folders.CommonProgramsDir, folders.UserProgramsDir}) {
    std::string dir = WithBackslash(base);
    if (dir.empty()) continue;
    bool seen = false;
    for (const std::string& known : programs) seen = seen || EqualIgnoringAsciiCase(known, dir);
    if (!seen) programs.push_back(dir);
  }
  for (const std::string& base : programs) {
    for (const TGroupNames& names : kGroupNames) {
      TGroupCleanup group;
      group.Dir = base + names.Group + "\\";
      for (const char* entry : {names.ProgramLink, names.UninstallLink, names.WebsiteLink})
        group.Entries.push_back(group.Dir + entry);
      plan.Groups.push_back(group);
    }
  }

  const std::string desktop = WithBackslash(folders.CommonDesktopDir);
  if (!desktop.empty())
    for (const TGroupNames& names : kGroupNames) plan.DesktopLinks.push_back(desktop + names.ProgramLink);

  plan.UninstallKey = kUninstallKeyPath;
  return plan;
}

TUninstallOutcome RunUninstallPlan(const TUninstallPlan& plan, TUninstallActions& actions) {
  TUninstallOutcome outcome;
  auto removeFile = [&](const std::string& path) {
    if (actions.FileExists(path) && !actions.RemoveFile(path)) outcome.NotRemoved.push_back(path);
  };

  for (const std::string& path : plan.ProductFiles)
    if (actions.FileExists(path) && !actions.CanRemove(path)) outcome.NotRemoved.push_back(path);
  if (!outcome.NotRemoved.empty()) {
    outcome.InUse = true;
    return outcome;
  }

  for (const std::string& path : plan.ProductFiles) removeFile(path);
  if (!outcome.NotRemoved.empty()) return outcome;

  for (const TGroupCleanup& group : plan.Groups) {
    for (const std::string& entry : group.Entries) removeFile(entry);
    actions.RemoveEmptyFolder(group.Dir);  // a group holding anything else stays, by design
  }
  for (const std::string& link : plan.DesktopLinks) removeFile(link);
  if (outcome.NotRemoved.empty() && !plan.UninstallKey.empty() && !actions.DeleteMachineKey(plan.UninstallKey))
    outcome.NotRemoved.push_back(plan.UninstallKey);

  outcome.Complete = outcome.NotRemoved.empty();
  return outcome;
}

TUninstallArgs ParseUninstallArgs(const std::vector<std::string>& args) {
  TUninstallArgs parsed;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (IsSwitch(args[i], "quiet") || IsSwitch(args[i], "q")) {
      parsed.Quiet = true;
    } else if (IsSwitch(args[i], "cleanup") && i + 3 < args.size()) {
      std::uint64_t process = 0, image = 0, copy = 0;
      const bool withCopy = i + 4 < args.size() && ParseHandle(args[i + 4], copy);
      if (ParseHandle(args[i + 1], process) && process != 0 && !args[i + 2].empty() &&
          ParseHandle(args[i + 3], image) && image != 0) {
        parsed.Cleanup = true;
        parsed.ParentProcess = process;
        parsed.Uninstaller = args[i + 2];
        parsed.UninstallerFile = image;
        parsed.TempFile = withCopy ? copy : 0;
        i += withCopy ? 4 : 3;
      }
    }
  }
  return parsed;
}
