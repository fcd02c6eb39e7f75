#pragma once
// The resources of the simulated program's own module, which carries the payload.
#include <cstddef>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "install/digest_table.h"
#include "platform/resources.h"

namespace sim {

struct ResourceLookup {
  std::string Type;
  std::string Name;
  bool Found = false;
};

class SimResources : public platform::Resources {
 public:
  bool Find(const std::string& type, const std::string& name,
            platform::ResourceView& view) override;
  void Release(const platform::ResourceView& view) override;

  // --- Test-facing. Type and name are matched without regard to case.
  // Like the build, the program also carries the digest table of every resource added.
  void AddResource(const std::string& type, const std::string& name, const std::string& bytes);
  // Flips every bit of the byte at `offset` after the table was made: a damaged download.
  void DamageResource(const std::string& type, const std::string& name, std::size_t offset);
  // The digest table becomes these bytes, or is missing when there are none.
  void ReplaceDigestTable(std::optional<std::string> bytes);
  const std::vector<ResourceLookup>& Lookups() const { return lookups_; }
  int ReleaseCount() const { return releases_; }
  // Views handed out and not released yet.
  int OutstandingCount() const { return outstanding_; }
  // Lookups of this resource fail (every lookup when both are empty).
  void FailLookup(const std::string& type = "", const std::string& name = "");

 private:
  static std::string Key(const std::string& type, const std::string& name);

  std::map<std::string, std::string> resources_;
  std::map<std::string, TFileDigests> builtTable_;  // by key, as the resources were added
  bool tableReplaced_ = false;
  std::optional<std::string> tableOverride_;
  std::vector<ResourceLookup> lookups_;
  std::vector<std::string> failing_;
  int releases_ = 0;
  int outstanding_ = 0;
};

}  // namespace sim
