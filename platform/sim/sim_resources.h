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
  platform::FillSource Source(const platform::ResourceView& view) override;

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
  // Reads of this resource's bytes from `offset` on fail: the setup's file cut short there, or
  // its medium failing there.
  void FailReadsFrom(const std::string& type, const std::string& name, std::size_t offset);
  // The resource's entry claims `size` bytes (damaged); bytes beyond those it has cannot be read.
  void ClaimSize(const std::string& type, const std::string& name, std::size_t size);
  // Every resource readable whole again, each of its own size.
  void ClearReadFaults();
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
  std::map<std::string, std::size_t> readableUpTo_;  // by key
  std::map<std::string, std::size_t> claimedSize_;   // by key
  struct TReadable {
    const char* Data;
    std::size_t Size;
  };
  std::map<const char*, TReadable> readable_;  // of each view handed out
  int releases_ = 0;
  int outstanding_ = 0;
};

}  // namespace sim
