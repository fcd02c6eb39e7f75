#pragma once
// The one registry object that every registry read and write of the run goes through.
// It keeps one open key at a time under one selected root; every key is opened with full
// access (KEY_ALL_ACCESS).
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>

#include "platform/registry.h"

class ERegistryError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class TRegistry {
 public:
  TRegistry() = default;

  platform::RootKey RootKey() const { return Root; }
  // Selecting the root that is selected keeps the open key; the other root closes it.
  void SetRootKey(platform::RootKey root);

  // A path with a leading backslash is taken from the root; without one, from the open key
  // when there is one, else from the root. On success the new key replaces the open one;
  // on failure the open key stays and false is returned (nothing is raised).
  bool OpenKey(const std::string& path, bool canCreate);

  bool HasCurrentKey() const { return Current != nullptr; }
  // False when no key is open or the value is missing.
  bool ValueExists(const std::string& name);
  // The text of a REG_SZ or REG_EXPAND_SZ value up to its first NUL, not expanded; empty
  // when the value is missing or holds no data. Raises ERegistryError for other types and
  // for a failed read.
  std::string ReadString(const std::string& name);
  // REG_SZ: the text and one NUL. Raises ERegistryError when refused.
  void WriteString(const std::string& name, const std::string& value);
  // REG_DWORD. Raises ERegistryError when refused.
  void WriteInteger(const std::string& name, std::int32_t value);
  void CloseKey();

 private:
  void Write(const std::string& name, std::uint32_t type, const std::string& data);

  platform::RootKey Root = platform::RootKey::CurrentUser;
  std::unique_ptr<platform::RegistryKey> Current;
};
