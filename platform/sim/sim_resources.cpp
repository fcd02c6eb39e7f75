#include "platform/sim/sim_resources.h"

#include <algorithm>
#include <cstring>

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

void SimResources::FailReadsFrom(const std::string& type, const std::string& name,
                                 std::size_t offset) {
  readableUpTo_[Key(type, name)] = offset;
}

void SimResources::ClaimSize(const std::string& type, const std::string& name, std::size_t size) {
  claimedSize_[Key(type, name)] = size;
}

void SimResources::ClearReadFaults() {
  readableUpTo_.clear();
  claimedSize_.clear();
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
  const std::string& bytes = found->second;
  const auto claimed = claimedSize_.find(key);
  const auto upTo = readableUpTo_.find(key);
  view.Data = bytes.data();
  view.Size = claimed != claimedSize_.end() ? claimed->second : bytes.size();
  readable_[view.Data] = {bytes.data(), std::min(bytes.size(), upTo != readableUpTo_.end()
                                                                   ? upTo->second
                                                                   : bytes.size())};
  ++outstanding_;
  return true;
}

void SimResources::Release(const platform::ResourceView& view) {
  readable_.erase(view.Data);
  ++releases_;
  --outstanding_;
}

platform::FillSource SimResources::Source(const platform::ResourceView& view) {
  const auto land = [](const void* context, std::uint64_t offset, char* to, std::size_t size) {
    const auto& readable = *static_cast<const TReadable*>(context);
    if (offset > readable.Size || size > readable.Size - offset) return false;
    std::memcpy(to, readable.Data + offset, size);
    return true;
  };
  return {land, &readable_.at(view.Data), platform::kMemoryBlock};
}

}  // namespace sim
