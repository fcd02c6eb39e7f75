#pragma once
// Shell services of the simulated machine: folder-tree removal, shell links saved as files,
// and programs started (recorded, never run).
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/shell.h"
#include "platform/sim/sim_call_log.h"
#include "platform/sim/sim_files.h"

namespace sim {

struct FileOperationCall {
  std::uint32_t Function = 0;
  std::string FromList;  // the exact bytes, both NULs included
  std::uint16_t Flags = 0;
  int Result = 0;
};

struct ExecuteCall {
  std::string Verb;
  std::string File;
  std::string Directory;  // the working folder given
  int ShowCommand = 0;
  std::string CurrentDirectory;  // the process's current folder at the moment of the call
};

class SimShell : public platform::Shell {
 public:
  SimShell(CallLog& log, SimFiles& files) : log_(log), files_(files) {}

  int FileOperation(std::uint32_t function, const std::string& fromList,
                    std::uint16_t flags) override;
  platform::LinkResult SaveShellLink(const platform::ShellLinkFields& link) override;
  void Execute(const std::string& verb, const std::string& file, const std::string& directory,
               int showCommand) override;

  // --- Test-facing.
  const std::vector<FileOperationCall>& FileOperations() const { return fileOperations_; }
  // Links saved, in order of saving (a replaced link appears again).
  const std::vector<platform::ShellLinkFields>& SavedLinks() const { return savedLinks_; }
  // The link last saved at this path (letter case does not matter).
  std::optional<platform::ShellLinkFields> Link(const std::string& linkPath) const;
  const std::vector<ExecuteCall>& Executed() const { return executed_; }
  // Every link saved to this path (all links when empty) ends with `result`.
  void FailLinks(platform::LinkResult result, const std::string& linkPath = "");

  // The bytes of the file a saved link leaves on the disk.
  static std::string LinkFileBytes(const platform::ShellLinkFields& link);

 private:
  CallLog& log_;
  SimFiles& files_;
  std::vector<FileOperationCall> fileOperations_;
  std::vector<platform::ShellLinkFields> savedLinks_;
  std::map<std::string, platform::ShellLinkFields> linksByPath_;  // by folded full path
  std::map<std::string, platform::LinkResult> linkFaults_;      // by folded full path, "" = all
  std::vector<ExecuteCall> executed_;
};

}  // namespace sim
