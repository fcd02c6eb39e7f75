#pragma once
// What the seam's contract suite needs from a backend: the machine and a scratch area. The
// same suite runs natively against the simulated machine and under Wine against the real
// one, so the simulation cannot drift from Windows.
#include <memory>
#include <string>

#include "platform/machine.h"

class ContractEnvironment {
 public:
  virtual ~ContractEnvironment() = default;
  virtual platform::Machine& Machine() = 0;
  // An existing, empty folder for this test, ending with a backslash.
  virtual std::string ScratchFolder() = 0;
  // A key path below HKEY_CURRENT_USER that does not exist when the test starts and is
  // removed with everything below it when the environment is destroyed.
  virtual std::string ScratchKey() = 0;
  // Another program opens `path` for reading without sharing until the handle is destroyed.
  virtual std::unique_ptr<struct HeldFile> HoldOpen(const std::string& path) = 0;
  // Another program reads `path` and lets others read and delete it (FILE_SHARE_READ |
  // FILE_SHARE_DELETE) until the handle is destroyed.
  virtual std::unique_ptr<struct HeldFile> HoldOpenSharingDelete(const std::string& path) = 0;
  // Gives the file the read-only attribute; false when that fails.
  virtual bool MakeReadOnly(const std::string& path) = 0;

  // Known gap of Wine 8, kept visible: its MoveFileExA with MOVEFILE_REPLACE_EXISTING replaces
  // a read-only file, which Windows refuses (ERROR_ACCESS_DENIED). True where that holds.
  virtual bool ReplacesReadOnlyFiles() { return false; }
  // Makes `link` a link to the folder `target`, as the user himself can: a junction on
  // Windows, a Unix symbolic link under Wine (see the Windows environment for why). False
  // when it cannot be made.
  virtual bool MakeFolderLink(const std::string& link, const std::string& target) = 0;
  // The same for a link to the file `target`: a symbolic link on Windows (false where the
  // user may not make one), a Unix symbolic link under Wine.
  virtual bool MakeFileLink(const std::string& link, const std::string& target) = 0;
  // Known gaps of Wine 8, kept visible (see the Windows environment for why): true where a
  // link to a folder can be removed itself, and where a link to a file is told from a file.
  virtual bool RemovesFolderLinks() { return true; }
  virtual bool ShowsFileLinks() { return true; }
  // A user presses Enter on the next message box captioned `caption`, once it is up.
  virtual void PressEnterOnNextBox(const std::string& caption) = 0;
};

struct HeldFile {
  virtual ~HeldFile() = default;
};

// Implemented once per backend (tests/native for the simulated machine, tests/windows for
// the real one); installs the machine as platform::Os() for its lifetime.
std::unique_ptr<ContractEnvironment> MakeContractEnvironment();
