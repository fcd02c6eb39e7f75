#include "shell/uninstall_entry.h"

#include "platform/machine.h"
#include "setup/folders.h"
#include "setup/setup_state.h"

namespace {
std::string TwoDigits(int value) {
  return (value < 10 ? "0" : "") + std::to_string(value);
}
}  // namespace

std::string DateStamp() {
  const platform::LocalDate today = platform::Os().Sys.Today();
  return std::to_string(today.Year) + TwoDigits(today.Month) + TwoDigits(today.Day);
}

void WriteUninstallEntry() {
  TSetupState& s = SetupState;
  TRegistry& reg = *s.Registry;
  const std::string& publisher = s.UiRussian ? s.PublisherNameRu : s.PublisherNameEn;

  reg.SetRootKey(platform::RootKey::LocalMachine);
  // Not tested on its own: without a key the first write below fails and reports it.
  reg.OpenKey(s.UninstallRoot + s.ProductId, true);

  reg.WriteString("DisplayName", s.ShortName());
  reg.WriteString("UninstallString", s.InstallDir + "Uninstall.exe");
  if (s.VersionMajor != -1) reg.WriteInteger("VersionMajor", s.VersionMajor);
  if (s.VersionMinor != -1) reg.WriteInteger("VersionMinor", s.VersionMinor);
  reg.WriteString("InstallLocation", StripBackslash(s.InstallDir));
  reg.WriteString("InstallDate", DateStamp());
  reg.WriteString("Publisher", publisher);
  reg.WriteString("URLInfoAbout", s.WebsiteUrl);
  const std::string helpPage = s.WebsiteUrl + "/" + s.ProductId + ".htm";
  reg.WriteString("HelpLink", helpPage);
  reg.WriteString("URLUpdateInfo", helpPage);
  reg.WriteInteger("NoModify", 1);
  reg.WriteInteger("NoRepair", 1);
}
