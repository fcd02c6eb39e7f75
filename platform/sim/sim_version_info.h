#pragma once
// Executable type and version resources on the simulated machine. Everything is read from
// the file's bytes, so a copied or renamed executable keeps its version as on Windows; the
// bytes come from MakeExecutable.
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "platform/sim/sim_files.h"
#include "platform/version_info.h"

namespace sim {

struct Translation {
  std::uint16_t Language = 0;
  std::uint16_t CodePage = 0;
};

// File bytes that start with "MZ" and carry a version resource: the translation table in
// this order, and texts by full sub-block name (e.g. "\\StringFileInfo\\041904e3\\FileVersion").
// Without translations the resource has no "\\VarFileInfo\\Translation".
std::string MakeExecutable(const std::vector<Translation>& translations,
                           const std::map<std::string, std::string>& strings);
// An executable whose FileVersion is `version` under Russian (0x0419) and code page 1251.
std::string MakeExecutableWithFileVersion(const std::string& version);
std::string MakeExecutableWithoutVersion();

struct VersionCall {
  std::string Function;  // "ExeType", "InfoSize", "LoadInfo", "QueryTranslations", "QueryString"
  std::string Argument;  // the path, or the sub-block name
};

class SimVersionInfo : public platform::VersionInfo {
 public:
  explicit SimVersionInfo(SimFiles& files) : files_(files) {}

  std::uintptr_t ExeType(const std::string& path) override;
  std::uint32_t InfoSize(const std::string& path) override;
  bool LoadInfo(const std::string& path, std::uint32_t size, std::string& block) override;
  bool QueryTranslations(const std::string& block, std::string& table) override;
  bool QueryString(const std::string& block, const std::string& subBlock,
                   std::string& text) override;

  // --- Test-facing.
  const std::vector<VersionCall>& Calls() const { return calls_; }
  // Calls other than ExeType: a file that is no executable must not get any.
  int VersionResourceCalls() const;

 private:
  // The version block inside the file's bytes; empty when it has none or cannot be read.
  std::string BlockOf(const std::string& path) const;

  SimFiles& files_;
  std::vector<VersionCall> calls_;
};

}  // namespace sim
