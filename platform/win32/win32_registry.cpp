#include "platform/win32/win32_registry.h"

#include "platform/win32/windows_api.h"

#include "platform/win32/owners.h"

namespace win32 {
namespace {

class Win32RegistryKey final : public platform::RegistryKey {
 public:
  // An owned key is closed on destruction; a predefined root is only borrowed.
  static std::unique_ptr<Win32RegistryKey> Borrowed(HKEY key) {
    auto result = std::make_unique<Win32RegistryKey>();
    result->Key = key;
    return result;
  }
  static std::unique_ptr<Win32RegistryKey> Owned(UniqueHkey key) {
    auto result = std::make_unique<Win32RegistryKey>();
    result->Key = key.get();
    result->Owner = std::move(key);
    return result;
  }

  long OpenSubKey(const std::string& path, bool create,
                  std::unique_ptr<platform::RegistryKey>& key) override {
    UniqueHkey opened;
    const LONG status =
        create ? ::RegCreateKeyExA(Key, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                   KEY_ALL_ACCESS, nullptr, opened.put(), nullptr)
               : ::RegOpenKeyExA(Key, path.c_str(), 0, KEY_ALL_ACCESS, opened.put());
    if (status == ERROR_SUCCESS) key = Owned(std::move(opened));
    return status;
  }

  long QueryValue(const std::string& name, std::uint32_t* type, std::string* data) override {
    DWORD valueType = 0;
    DWORD size = 0;
    LONG status = ::RegQueryValueExA(Key, name.c_str(), nullptr, &valueType, nullptr, &size);
    // The value may grow between the two calls; ask again with the size the registry gives.
    while (status == ERROR_SUCCESS && data) {
      data->assign(size, '\0');
      DWORD got = size;
      status = ::RegQueryValueExA(Key, name.c_str(), nullptr, &valueType,
                                  reinterpret_cast<BYTE*>(data->empty() ? nullptr : &(*data)[0]),
                                  &got);
      if (status == ERROR_MORE_DATA) {
        size = got;
        status = ERROR_SUCCESS;
        continue;
      }
      if (status == ERROR_SUCCESS) data->resize(got);
      break;
    }
    if (status == ERROR_SUCCESS && type) *type = valueType;
    return status;
  }

  long SetValue(const std::string& name, std::uint32_t type, const std::string& data) override {
    return ::RegSetValueExA(Key, name.c_str(), 0, type,
                            reinterpret_cast<const BYTE*>(data.data()),
                            static_cast<DWORD>(data.size()));
  }

 private:
  HKEY Key = nullptr;
  UniqueHkey Owner;
};

}  // namespace

std::unique_ptr<platform::RegistryKey> Win32Registry::Root(platform::RootKey root) {
  return Win32RegistryKey::Borrowed(root == platform::RootKey::LocalMachine ? HKEY_LOCAL_MACHINE
                                                                            : HKEY_CURRENT_USER);
}

}  // namespace win32
