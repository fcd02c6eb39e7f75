#include "platform/sim/sim_resources.h"

#include <algorithm>

#include "platform/sim/sim_case.h"

namespace sim {

std::string SimResources::Key(const std::string& type, const std::string& name) {
  return FoldCase(type) + '\0' + FoldCase(name);
}

void SimResources::AddResource(const std::string& type, const std::string& name,
                               const std::string& bytes) {
  resources_[Key(type, name)] = bytes;
}

void SimResources::FailLookup(const std::string& type, const std::string& name) {
  failing_.push_back(type.empty() && name.empty() ? std::string() : Key(type, name));
}

bool SimResources::Find(const std::string& type, const std::string& name,
                        platform::ResourceView& view) {
  const std::string key = Key(type, name);
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
