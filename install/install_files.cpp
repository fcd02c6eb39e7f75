#include "install/install_files.h"

#include <algorithm>

#include "install/extract_payload.h"
#include "install/install_texts.h"
#include "platform/machine.h"
#include "setup/folders.h"
#include "setup/setup_state.h"
#include "ui/language_files.h"
#include "ui/message_boxes.h"
#include "ui/progress_window.h"

namespace {

constexpr std::uint32_t kFilePause = 128;
// The extraction is synchronous: a file that is not there after the first pause will not
// come. A few more pauses cover a slow file system; then the loop goes on with the next
// entry, as with every other file that could not be installed.
constexpr int kMaxFilePauses = 8;

std::string ProgressCaption() {
  const TSetupState& s = SetupState;
  if (ActiveLanguage >= 0) return LangString("filesinstall") + "...";
  if (s.UiRussian) return install_texts::CaptionRu(s.ShortNameRu, s.VersionText);
  return install_texts::CaptionEn(s.ShortNameEn, s.VersionText);
}

void WaitForFile(const std::string& path) {
  auto& os = platform::Os();
  for (int pause = 0; pause < kMaxFilePauses; ++pause) {
    os.Sys.Sleep(kFilePause);
    if (os.Fs.FileExists(path)) return;
  }
}

bool EnsureLanguageFolder() {
  const std::string folder = SetupState.InstallDir + "language\\";
  auto& fs = platform::Os().Fs;
  if (fs.DirectoryExists(folder) || fs.CreateDirectory(folder)) return true;
  ShowErrorBox(install_texts::CantCreateEn(folder), install_texts::CantCreateRu(folder));
  return false;
}

void RewriteInstallValues() {
  TSetupState& s = SetupState;
  TRegistry& reg = *s.Registry;
  reg.SetRootKey(platform::RootKey::LocalMachine);
  struct Closer {
    TRegistry& Reg;
    ~Closer() { Reg.CloseKey(); }
  } closer{reg};
  // From the root, not from the uninstall key the transaction still holds open.
  reg.OpenKey("\\" + s.UninstallRoot + s.ProductId, true);
  if (s.VersionMajor != -1) reg.WriteInteger("VersionMajor", s.VersionMajor);
  if (s.VersionMinor != -1) reg.WriteInteger("VersionMinor", s.VersionMinor);
  reg.WriteString("InstallLocation", StripBackslash(s.InstallDir));
}

}  // namespace

TPayloadTarget ResolveEntry(const std::string& entry, const std::string& installDir) {
  TPayloadTarget result;
  const auto nameStart = entry.find_last_of("\\:");
  const std::string fileName =
      nameStart == std::string::npos ? entry : entry.substr(nameStart + 1);
  const auto dot = fileName.rfind('.');
  result.Name = dot == std::string::npos ? fileName : fileName.substr(0, dot);
  result.Type = dot == std::string::npos ? std::string() : fileName.substr(dot + 1);

  if (result.Type == "lng") {
    result.Target = installDir + "language\\" + entry;
    // The "!" marks a language file that is replaced without reading its version.
    const auto codes = result.Target.find("codes");
    if (codes != std::string::npos) result.Target.insert(codes, "!");
  } else if (entry.find('\\') == std::string::npos) {
    result.Target = installDir + entry;
  } else {
    result.Target = entry;
  }
  return result;
}

bool InstallFiles() {
  TSetupState& s = SetupState;
  const int count = static_cast<int>(std::count(s.FileList.begin(), s.FileList.end(), ';'));
  if (count == 0) return false;

  ShowProgress(ProgressCaption(), "");
  SetPosition(0);
  SetRange(count);

  if (s.FileList.find(".lng;") != std::string::npos && !EnsureLanguageFolder()) return false;

  for (int k = 1; k <= count; ++k) {
    const auto end = s.FileList.find(';');
    const TPayloadTarget file = ResolveEntry(s.FileList.substr(0, end), s.InstallDir);
    SetStatus(file.Target);
    ExtractPayloadFile(file.Name, file.Type, file.Target, true);
    SetPosition(k);
    WaitForFile(file.Target);
    s.FileList.erase(0, end + 1);
  }
  HideWindow();

  if (s.RewriteInstallValues) RewriteInstallValues();
  return true;
}
