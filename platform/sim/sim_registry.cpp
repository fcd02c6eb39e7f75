#include "platform/sim/sim_registry.h"

#include <algorithm>

#include "platform/sim/sim_case.h"
#include "platform/win_constants.h"

namespace sim {
namespace {

constexpr long kErrorBadPathname = 161;
constexpr long kErrorKeyDeleted = 1018;

int RootIndex(platform::RootKey root) { return root == platform::RootKey::LocalMachine ? 0 : 1; }

// A key handle remembers its path, not the node, so a key that a test deletes while the
// program holds it open answers like a deleted key instead of dangling.
class SimRegistryKey : public platform::RegistryKey {
 public:
  SimRegistryKey(SimRegistry& registry, platform::RootKey root, std::vector<std::string> path,
                 bool predefined)
      : registry_(registry), root_(root), path_(std::move(path)), predefined_(predefined) {}
  ~SimRegistryKey() override {
    if (!predefined_) registry_.KeyClosed(root_, path_);
  }

  long OpenSubKey(const std::string& path, bool create,
                  std::unique_ptr<platform::RegistryKey>& key) override {
    std::vector<std::string> opened;
    const long status = registry_.Open(root_, path_, path, create, opened);
    if (status == win::kErrorSuccess)
      key = std::make_unique<SimRegistryKey>(registry_, root_, std::move(opened), false);
    return status;
  }

  long QueryValue(const std::string& name, std::uint32_t* type, std::string* data) override {
    return registry_.Query(root_, path_, name, type, data);
  }

  long SetValue(const std::string& name, std::uint32_t type, const std::string& data) override {
    return registry_.Set(root_, path_, name, type, data);
  }

 private:
  SimRegistry& registry_;
  platform::RootKey root_;
  std::vector<std::string> path_;
  bool predefined_;
};

}  // namespace

bool SplitKeyPath(const std::string& path, std::vector<std::string>& parts) {
  parts.clear();
  if (path.empty()) return true;
  std::string text = path;
  if (text.back() == '\\') text.pop_back();
  std::size_t start = 0;
  while (true) {
    const std::size_t end = text.find('\\', start);
    const std::string part = text.substr(start, end == std::string::npos ? end : end - start);
    if (part.empty()) return false;
    parts.push_back(part);
    if (end == std::string::npos) return true;
    start = end + 1;
  }
}

SimRegistry::Key* SimRegistry::Key::Find(const std::string& name) const {
  for (const auto& sub : SubKeys)
    if (SameText(sub->Name, name)) return sub.get();
  return nullptr;
}

RegValue* SimRegistry::Key::FindValue(const std::string& name) {
  for (auto& entry : Values)
    if (SameText(entry.first, name)) return &entry.second;
  return nullptr;
}

SimRegistry::SimRegistry(CallLog& log) : log_(log) {
  roots_[0] = std::make_unique<Key>();
  roots_[0]->Name = "HKEY_LOCAL_MACHINE";
  roots_[1] = std::make_unique<Key>();
  roots_[1]->Name = "HKEY_CURRENT_USER";
}

SimRegistry::~SimRegistry() = default;

std::unique_ptr<platform::RegistryKey> SimRegistry::Root(platform::RootKey root) {
  return std::make_unique<SimRegistryKey>(*this, root, std::vector<std::string>{}, true);
}

std::string SimRegistry::Describe(platform::RootKey root, const std::vector<std::string>& parts) {
  std::string text = root == platform::RootKey::LocalMachine ? "HKLM" : "HKCU";
  for (const std::string& part : parts) text += "\\" + part;
  return text;
}

SimRegistry::Key* SimRegistry::Lookup(platform::RootKey root,
                                      const std::vector<std::string>& parts) const {
  Key* key = roots_[RootIndex(root)].get();
  for (const std::string& part : parts) {
    key = key->Find(part);
    if (!key) return nullptr;
  }
  return key;
}

SimRegistry::Key& SimRegistry::MakeKey(platform::RootKey root,
                                       const std::vector<std::string>& parts) {
  Key* key = roots_[RootIndex(root)].get();
  for (const std::string& part : parts) {
    Key* sub = key->Find(part);
    if (!sub) {
      key->SubKeys.push_back(std::make_unique<Key>());
      sub = key->SubKeys.back().get();
      sub->Name = part;
    }
    key = sub;
  }
  return *key;
}

long SimRegistry::Open(platform::RootKey root, const std::vector<std::string>& base,
                       const std::string& path, bool create, std::vector<std::string>& opened) {
  std::vector<std::string> relative;
  const bool wellFormed = SplitKeyPath(path, relative);
  opened = base;
  opened.insert(opened.end(), relative.begin(), relative.end());
  if (create && !log_.Enter("RegCreateKey", Describe(root, opened))) return win::kErrorAccessDenied;
  auto refuse = [&](long error) {
    if (create) log_.MarkLastFailed();
    opened.clear();
    return error;
  };
  if (!wellFormed) return refuse(kErrorBadPathname);
  if (!Lookup(root, base)) return refuse(kErrorKeyDeleted);
  if (root == platform::RootKey::LocalMachine && !administrator_)
    return refuse(win::kErrorAccessDenied);
  const auto refused = refusedOpens_.find(FoldCase(Describe(root, opened)));
  if (refused != refusedOpens_.end()) return refuse(refused->second);
  if (!Lookup(root, opened)) {
    if (!create) return refuse(win::kErrorFileNotFound);
    MakeKey(root, opened);
  }
  ++openKeys_;
  return win::kErrorSuccess;
}

long SimRegistry::Query(platform::RootKey root, const std::vector<std::string>& key,
                        const std::string& name, std::uint32_t* type, std::string* data) {
  Key* node = Lookup(root, key);
  if (!node) return kErrorKeyDeleted;
  // Only reading the data fails: the value is still seen to exist, as when the registry
  // refuses a read after the value was found.
  const auto failed = failedReads_.find(FoldCase(Describe(root, key) + "\\" + name));
  if (data && failed != failedReads_.end()) return failed->second;
  RegValue* value = node->FindValue(name);
  if (!value) return win::kErrorFileNotFound;
  if (type) *type = value->Type;
  if (data) *data = value->Data;
  return win::kErrorSuccess;
}

long SimRegistry::Set(platform::RootKey root, const std::vector<std::string>& key,
                      const std::string& name, std::uint32_t type, const std::string& data) {
  const int number = ++writes_;
  if (!log_.Enter("RegSetValue", Describe(root, key) + "\\" + name))
    return win::kErrorAccessDenied;
  auto refuse = [&](long error) {
    log_.MarkLastFailed();
    return error;
  };
  Key* node = Lookup(root, key);
  if (!node) return refuse(kErrorKeyDeleted);
  // The predefined root and every key below it deny writing to a user without the right.
  if (root == platform::RootKey::LocalMachine && !administrator_)
    return refuse(win::kErrorAccessDenied);
  const auto byNumber = failedWriteNumbers_.find(number);
  if (byNumber != failedWriteNumbers_.end()) return refuse(byNumber->second);
  const auto byName = failedWriteNames_.find(FoldCase(name));
  if (byName != failedWriteNames_.end()) return refuse(byName->second);
  if (RegValue* value = node->FindValue(name)) {
    *value = RegValue{type, data};
  } else {
    node->Values.emplace_back(name, RegValue{type, data});
  }
  return win::kErrorSuccess;
}

void SimRegistry::KeyClosed(platform::RootKey root, const std::vector<std::string>& path) {
  --openKeys_;
  log_.Note("RegCloseKey", Describe(root, path));
}

std::vector<std::string> SimRegistry::PlantPath(const std::string& path) {
  std::vector<std::string> parts;
  std::string relative = path;
  if (!relative.empty() && relative[0] == '\\') relative.erase(0, 1);
  SplitKeyPath(relative, parts);
  return parts;
}

void SimRegistry::CreateKey(platform::RootKey root, const std::string& path) {
  MakeKey(root, PlantPath(path));
}

void SimRegistry::DeleteKey(platform::RootKey root, const std::string& path) {
  std::vector<std::string> parts = PlantPath(path);
  if (parts.empty()) return;
  const std::string last = parts.back();
  parts.pop_back();
  Key* parent = Lookup(root, parts);
  if (!parent) return;
  auto& subs = parent->SubKeys;
  subs.erase(std::remove_if(subs.begin(), subs.end(),
                            [&](const std::unique_ptr<Key>& k) { return SameText(k->Name, last); }),
             subs.end());
}

void SimRegistry::PlantValue(platform::RootKey root, const std::string& path,
                             const std::string& name, std::uint32_t type,
                             const std::string& data) {
  Key& key = MakeKey(root, PlantPath(path));
  if (RegValue* value = key.FindValue(name)) {
    *value = RegValue{type, data};
  } else {
    key.Values.emplace_back(name, RegValue{type, data});
  }
}

void SimRegistry::PlantString(platform::RootKey root, const std::string& path,
                              const std::string& name, const std::string& text) {
  PlantValue(root, path, name, win::kRegSz, text + '\0');
}

void SimRegistry::PlantDword(platform::RootKey root, const std::string& path,
                             const std::string& name, std::uint32_t value) {
  std::string data(4, '\0');
  for (int i = 0; i < 4; ++i) data[i] = static_cast<char>((value >> (8 * i)) & 0xFF);
  PlantValue(root, path, name, win::kRegDword, data);
}

bool SimRegistry::KeyExists(platform::RootKey root, const std::string& path) const {
  return Lookup(root, PlantPath(path)) != nullptr;
}

std::optional<RegValue> SimRegistry::Value(platform::RootKey root, const std::string& path,
                                           const std::string& name) const {
  Key* key = Lookup(root, PlantPath(path));
  if (!key) return std::nullopt;
  if (RegValue* value = key->FindValue(name)) return *value;
  return std::nullopt;
}

std::optional<std::string> SimRegistry::StringValue(platform::RootKey root,
                                                    const std::string& path,
                                                    const std::string& name) const {
  const std::optional<RegValue> value = Value(root, path, name);
  if (!value || (value->Type != win::kRegSz && value->Type != win::kRegExpandSz))
    return std::nullopt;
  return value->Data.substr(0, value->Data.find('\0'));
}

std::vector<std::string> SimRegistry::ValueNames(platform::RootKey root,
                                                 const std::string& path) const {
  std::vector<std::string> names;
  if (Key* key = Lookup(root, PlantPath(path)))
    for (const auto& entry : key->Values) names.push_back(entry.first);
  return names;
}

void SimRegistry::RefuseOpen(platform::RootKey root, const std::string& path, long error) {
  refusedOpens_[FoldCase(Describe(root, PlantPath(path)))] = error;
}

void SimRegistry::FailRead(platform::RootKey root, const std::string& path,
                           const std::string& name, long error) {
  failedReads_[FoldCase(Describe(root, PlantPath(path)) + "\\" + name)] = error;
}

void SimRegistry::FailWriteNumber(int n, long error) { failedWriteNumbers_[n] = error; }

void SimRegistry::FailWritesOf(const std::string& name, long error) {
  failedWriteNames_[FoldCase(name)] = error;
}

}  // namespace sim
