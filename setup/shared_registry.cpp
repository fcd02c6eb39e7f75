#include "setup/shared_registry.h"

#include "platform/machine.h"
#include "platform/win_constants.h"

void TRegistry::SetRootKey(platform::RootKey root) {
  if (root == Root) return;
  CloseKey();
  Root = root;
}

bool TRegistry::OpenKey(const std::string& path, bool canCreate) {
  const bool fromRoot = !path.empty() && path[0] == '\\';
  const std::string relative = fromRoot ? path.substr(1) : path;
  std::unique_ptr<platform::RegistryKey> rootKey;
  platform::RegistryKey* base = Current.get();
  if (fromRoot || !base) {
    rootKey = platform::Os().Reg.Root(Root);
    base = rootKey.get();
  }
  std::unique_ptr<platform::RegistryKey> opened;
  if (base->OpenSubKey(relative, canCreate, opened) != win::kErrorSuccess || !opened) return false;
  Current = std::move(opened);
  return true;
}

bool TRegistry::ValueExists(const std::string& name) {
  if (!Current) return false;
  return Current->QueryValue(name, nullptr, nullptr) == win::kErrorSuccess;
}

std::string TRegistry::ReadString(const std::string& name) {
  if (!Current) return {};
  std::uint32_t type = 0;
  std::string data;
  const long status = Current->QueryValue(name, &type, &data);
  if (status == win::kErrorFileNotFound) return {};
  if (status != win::kErrorSuccess) throw ERegistryError("Failed to get data for '" + name + "'");
  if (data.empty()) return {};
  if (type != win::kRegSz && type != win::kRegExpandSz)
    throw ERegistryError("Invalid data type for '" + name + "'");
  return data.substr(0, data.find('\0'));
}

void TRegistry::WriteString(const std::string& name, const std::string& value) {
  Write(name, win::kRegSz, value + '\0');
}

void TRegistry::WriteInteger(const std::string& name, std::int32_t value) {
  const auto bits = static_cast<std::uint32_t>(value);
  std::string data(4, '\0');
  for (int i = 0; i < 4; ++i) data[i] = static_cast<char>((bits >> (8 * i)) & 0xFF);
  Write(name, win::kRegDword, data);
}

void TRegistry::Write(const std::string& name, std::uint32_t type, const std::string& data) {
  const long status = Current ? Current->SetValue(name, type, data) : win::kErrorAccessDenied;
  if (status != win::kErrorSuccess) throw ERegistryError("Failed to set data for '" + name + "'");
}

void TRegistry::CloseKey() { Current.reset(); }
