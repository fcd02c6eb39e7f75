#pragma once
// Raw registry access (advapi32). Every key is opened with KEY_ALL_ACCESS and no view flag.
#include <cstdint>
#include <memory>
#include <string>

namespace platform {

enum class RootKey { LocalMachine, CurrentUser };

// An open key. Destroying it closes the handle (RegCloseKey, never forced to disk);
// a root key object closes nothing.
class RegistryKey {
 public:
  virtual ~RegistryKey() = default;

  // RegOpenKeyExA / RegCreateKeyExA (non-volatile, creating missing parents) of `path`
  // below this key. Returns the Win32 error code; on success `key` holds the new key.
  virtual long OpenSubKey(const std::string& path, bool create,
                          std::unique_ptr<RegistryKey>& key) = 0;

  // RegQueryValueExA: the value's type and its raw bytes (both optional).
  // Returns ERROR_FILE_NOT_FOUND for a missing value.
  virtual long QueryValue(const std::string& name, std::uint32_t* type,
                          std::string* data) = 0;

  // RegSetValueExA with exactly `data` as the value's bytes.
  virtual long SetValue(const std::string& name, std::uint32_t type,
                        const std::string& data) = 0;
};

class Registry {
 public:
  virtual ~Registry() = default;
  // The predefined key of a root; it is never closed.
  virtual std::unique_ptr<RegistryKey> Root(RootKey root) = 0;
};

}  // namespace platform
