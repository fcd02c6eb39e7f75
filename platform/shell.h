#pragma once
// Shell services (shell32, ole32): folder removal, shell links, starting a program.
#include <cstdint>
#include <string>

namespace platform {

struct ShellLinkFields {
  std::string Target;
  std::string WorkingDirectory;
  std::string Description;
  std::string Arguments;
  int ShowCommand = 0;
  std::string IconPath;
  int IconIndex = 0;
  std::string LinkPath;  // ANSI; converted to UTF-16 for IPersistFile::Save
};

enum class LinkResult { Saved, ObjectNotCreated, InterfaceRefused, SaveFailed };

class Shell {
 public:
  virtual ~Shell() = default;
  // SHFileOperationA with no owner, `function`, `fromList` (a list of paths, each ended by
  // NUL, the list ended by one more NUL), no destination and `flags`. Returns its result.
  virtual int FileOperation(std::uint32_t function, const std::string& fromList,
                            std::uint16_t flags) = 0;
  // CoCreateInstance(CLSID_ShellLink) -> IShellLinkA setters in the order of the struct
  // -> IPersistFile::Save(link path, TRUE). Every reference is released on every path.
  virtual LinkResult SaveShellLink(const ShellLinkFields& link) = 0;
  // ShellExecuteA(NULL, verb, file, NULL, directory, showCommand); the result is not used.
  // `directory` is the started program's working folder. A `file` without a full path is
  // found by the system's search, which may try other folders (the caller's own, the Windows
  // folder) first: to start one particular program, pass its full path.
  virtual void Execute(const std::string& verb, const std::string& file,
                       const std::string& directory, int showCommand) = 0;
};

}  // namespace platform
