// What the uninstaller reads from outside: its command line, the "UninstallString" of the
// product's entry and the shell folders of the registry. A cleanup line is taken only whole;
// the plan never names the running uninstaller among the files it deletes, nor anything but
// its own folder's files when the entry does not name that folder.
#include <cstdlib>
#include <string>
#include <vector>

#include <fuzzer/FuzzedDataProvider.h>

#include "payload/uninstaller/registered_copy.h"
#include "payload/uninstaller/uninstall_plan.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  std::vector<std::string> args;
  for (int k = input.ConsumeIntegralInRange(0, 7); k > 0; --k) args.push_back(input.ConsumeRandomLengthString(24));
  const TUninstallArgs parsed = ParseUninstallArgs(args);
  if (parsed.Cleanup && (parsed.ParentProcess == 0 || parsed.UninstallerFile == 0 || parsed.Uninstaller.empty()))
    std::abort();

  TUninstallEntry entry;
  entry.KeyPresent = input.ConsumeBool();
  entry.ValuePresent = input.ConsumeBool();
  entry.IsText = input.ConsumeBool();
  entry.Text = input.ConsumeRandomLengthString(64);
  TUninstallFolders folders;
  folders.SelfPath = input.ConsumeRandomLengthString(64);
  folders.InstallDir = FolderOfPath(folders.SelfPath);
  folders.CommonProgramsDir = input.ConsumeRandomLengthString(32);
  folders.UserProgramsDir = input.ConsumeRandomLengthString(32);
  folders.CommonDesktopDir = input.ConsumeRemainingBytesAsString();
  const TRegistration registration = CheckRegistration(folders.SelfPath, entry);
  folders.Registered = registration == TRegistration::Registered;

  const TUninstallPlan plan = BuildUninstallPlan(folders);
  for (const std::string& file : plan.ProductFiles)
    if (EqualIgnoringAsciiCase(file, folders.SelfPath) || file.rfind(plan.InstallDir, 0) != 0) std::abort();
  if (!folders.Registered && (!plan.Groups.empty() || !plan.DesktopLinks.empty() || !plan.UninstallKey.empty()))
    std::abort();
  return 0;
}
