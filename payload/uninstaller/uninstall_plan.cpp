#include "payload/uninstaller/uninstall_plan.h"

#include <cctype>
#include <cstdlib>

namespace {

// The names the setup gives the product's files, groups and links.
const char* const kInstalledFiles[] = {"Tarvelon.exe", "Tarvelon.bar", "Tarvelon.car"};
const char kUninstallerName[] = "Uninstall.exe";
const char kUninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tarvelon";

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

bool SameFolder(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  return true;
}

bool IsSwitch(const std::string& arg, const char* name) {
  if (arg.size() < 2 || (arg[0] != '/' && arg[0] != '-')) return false;
  return SameFolder(arg.substr(1), name);
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

  std::vector<std::string> programs;
  for (const std::string& base : {folders.CommonProgramsDir, folders.UserProgramsDir}) {
    std::string dir = WithBackslash(base);
    if (dir.empty()) continue;
    bool seen = false;
    for (const std::string& known : programs) seen = seen || SameFolder(known, dir);
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

  plan.UninstallKey = kUninstallKey;
  plan.SelfPath = plan.InstallDir + kUninstallerName;
  return plan;
}

TUninstallOutcome RunUninstallPlan(const TUninstallPlan& plan, TUninstallActions& actions) {
  TUninstallOutcome outcome;
  auto removeFile = [&](const std::string& path) {
    if (actions.FileExists(path) && !actions.RemoveFile(path)) outcome.NotRemoved.push_back(path);
  };

  for (const std::string& path : plan.ProductFiles) removeFile(path);
  if (!outcome.NotRemoved.empty()) return outcome;

  for (const TGroupCleanup& group : plan.Groups) {
    for (const std::string& entry : group.Entries) removeFile(entry);
    actions.RemoveEmptyFolder(group.Dir);  // a group holding anything else stays, by design
  }
  for (const std::string& link : plan.DesktopLinks) removeFile(link);
  if (!actions.DeleteMachineKey(plan.UninstallKey)) outcome.NotRemoved.push_back(plan.UninstallKey);

  outcome.Complete = outcome.NotRemoved.empty();
  return outcome;
}

TUninstallArgs ParseUninstallArgs(const std::vector<std::string>& args) {
  TUninstallArgs parsed;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (IsSwitch(args[i], "quiet") || IsSwitch(args[i], "q")) {
      parsed.Quiet = true;
    } else if (IsSwitch(args[i], "cleanup") && i + 2 < args.size()) {
      std::uint64_t process = 0, file = 0;
      const bool withFile = i + 3 < args.size() && ParseHandle(args[i + 3], file);
      if (ParseHandle(args[i + 1], process) && process != 0 && !args[i + 2].empty()) {
        parsed.Cleanup = true;
        parsed.ParentProcess = process;
        parsed.Folder = args[i + 2];
        parsed.TempFile = withFile ? file : 0;
        i += withFile ? 3 : 2;
      }
    }
  }
  return parsed;
}
