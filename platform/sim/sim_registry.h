#pragma once
// The simulated registry: a tree of keys under HKEY_LOCAL_MACHINE and HKEY_CURRENT_USER with
// names matched without regard to case, values kept in the order they were first written.
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/registry.h"
#include "platform/sim/sim_call_log.h"

namespace sim {

struct RegValue {
  std::uint32_t Type = 0;
  std::string Data;  // the raw bytes, exactly as stored
};

class SimRegistry : public platform::Registry {
 public:
  explicit SimRegistry(CallLog& log);
  ~SimRegistry() override;

  std::unique_ptr<platform::RegistryKey> Root(platform::RootKey root) override;

  // --- Test-facing: contents. Paths are relative to the root, with or without a trailing
  // backslash; they create missing keys where a value is planted.
  void CreateKey(platform::RootKey root, const std::string& path);
  void DeleteKey(platform::RootKey root, const std::string& path);  // with all below it
  void PlantValue(platform::RootKey root, const std::string& path, const std::string& name,
                  std::uint32_t type, const std::string& data);
  // REG_SZ holding the text and one NUL.
  void PlantString(platform::RootKey root, const std::string& path, const std::string& name,
                   const std::string& text);
  void PlantDword(platform::RootKey root, const std::string& path, const std::string& name,
                  std::uint32_t value);
  bool KeyExists(platform::RootKey root, const std::string& path) const;
  std::optional<RegValue> Value(platform::RootKey root, const std::string& path,
                                const std::string& name) const;
  // The text of a REG_SZ/REG_EXPAND_SZ value up to its first NUL; nullopt when missing.
  std::optional<std::string> StringValue(platform::RootKey root, const std::string& path,
                                         const std::string& name) const;
  // Value names in the order they were first written.
  std::vector<std::string> ValueNames(platform::RootKey root, const std::string& path) const;
  // Keys opened through the seam and not closed yet.
  int OpenKeyCount() const { return openKeys_; }

  // --- Test-facing: faults.
  // A user without administrator rights: every key under HKEY_LOCAL_MACHINE refuses full
  // access (ERROR_ACCESS_DENIED), so no key there can be opened, created or written.
  void SetUserIsAdministrator(bool administrator) { administrator_ = administrator; }
  void RefuseOpen(platform::RootKey root, const std::string& path, long error = 5);
  void FailRead(platform::RootKey root, const std::string& path, const std::string& name,
                long error = 5);
  // The n-th value write through the seam (counted from 1) fails.
  void FailWriteNumber(int n, long error = 5);
  void FailWritesOf(const std::string& name, long error = 5);
  int WriteCount() const { return writes_; }

  // --- Used by the key objects.
  long Open(platform::RootKey root, const std::vector<std::string>& base, const std::string& path,
            bool create, std::vector<std::string>& opened);
  long Query(platform::RootKey root, const std::vector<std::string>& key, const std::string& name,
             std::uint32_t* type, std::string* data);
  long Set(platform::RootKey root, const std::vector<std::string>& key, const std::string& name,
           std::uint32_t type, const std::string& data);
  // Logged as "RegCloseKey", no fault point.
  void KeyClosed(platform::RootKey root, const std::vector<std::string>& path);

 private:
  struct Key {
    std::string Name;
    std::vector<std::unique_ptr<Key>> SubKeys;
    std::vector<std::pair<std::string, RegValue>> Values;
    Key* Find(const std::string& name) const;
    RegValue* FindValue(const std::string& name);
  };

  Key* Lookup(platform::RootKey root, const std::vector<std::string>& parts) const;
  Key& MakeKey(platform::RootKey root, const std::vector<std::string>& parts);
  static std::vector<std::string> PlantPath(const std::string& path);
  static std::string Describe(platform::RootKey root, const std::vector<std::string>& parts);

  CallLog& log_;
  std::unique_ptr<Key> roots_[2];
  bool administrator_ = true;
  std::map<std::string, long> refusedOpens_;  // folded "ROOT\path"
  std::map<std::string, long> failedReads_;   // folded "ROOT\path\name"
  std::map<int, long> failedWriteNumbers_;
  std::map<std::string, long> failedWriteNames_;  // folded value name
  int writes_ = 0;
  int openKeys_ = 0;
};

// Splits a key path as RegOpenKeyExA reads it: one trailing backslash is allowed, an empty
// name elsewhere (a leading or doubled backslash) is not. False for a malformed path.
bool SplitKeyPath(const std::string& path, std::vector<std::string>& parts);

}  // namespace sim
