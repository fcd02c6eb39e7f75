#include "platform/sim/sim_resources.h"

#include <algorithm>

#include "install/digest_table.h"
#include "platform/chunk_digest.h"

#include "platform/sim/sim_case.h"

namespace sim {

std::string SimResources::Key(const std::string& type, const std::string& name) {
  return FoldCase(type) + '\0' + FoldCase(name);
}

void SimResources::AddResource(const std::string& type, const std::string& name,
                               const std::string& bytes) {
  resources_[Key(type, name)] = bytes;
  builtTable_[Key(type, name)] =
      TFileDigests{type, name, bytes.size(), platform::DigestChunks(bytes.data(), bytes.size())};
}

void SimResources::DamageResource(const std::string& type, const std::string& name,
                                  std::size_t offset) {
  std::string& bytes = resources_.at(Key(type, name));
  bytes.at(offset) = static_cast<char>(~bytes.at(offset));
}

void SimResources::ReplaceDigestTable(std::optional<std::string> bytes) {
  tableReplaced_ = true;
  tableOverride_ = std::move(bytes);
}

void SimResources::FailLookup(const std::string& type, const std::string& name) {
  failing_.push_back(type.empty() && name.empty() ? std::string() : Key(type, name));
}

bool SimResources::Find(const std::string& type, const std::string& name,
                        platform::ResourceView& view) {
  const std::string key = Key(type, name);
  if (key == Key(kDigestTableType, kDigestTableName)) {
    if (tableReplaced_) {
      if (tableOverride_) resources_[key] = *tableOverride_; else resources_.erase(key);
    } else {
      TDigestTable table;
      for (const auto& entry : builtTable_) table.push_back(entry.second);
      resources_[key] = EncodeDigestTable(table);
    }
  }
  const auto found = resources_.find(key);
  const bool refused = std::any_of(failing_.begin(), failing_.end(), [&](const std::string& f) {
    return f.empty() || f == key;
  });
  const bool ok = found != resources_.end() && !refused;
  lookups_.push_back({type, name, ok});
  if (!ok) return false;
  view.Data = found->second.data();
  view.Size = found->second.size();
  ++outstanding_;
  return true;
}

void SimResources::Release(const platform::ResourceView&) {
  ++releases_;
  --outstanding_;
}

}  // namespace sim
