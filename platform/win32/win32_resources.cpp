#include "platform/win32/win32_resources.h"

#include "platform/win32/windows_api.h"

namespace win32 {

bool Win32Resources::Find(const std::string& type, const std::string& name,
                          platform::ResourceView& view) {
  HRSRC found = ::FindResourceA(nullptr, name.c_str(), type.c_str());
  if (!found) return false;
  HGLOBAL loaded = ::LoadResource(nullptr, found);
  if (!loaded) return false;
  const void* data = ::LockResource(loaded);
  const DWORD size = ::SizeofResource(nullptr, found);
  if (!data) {
    ::FreeResource(loaded);
    return false;
  }
  view.Data = static_cast<const char*>(data);
  view.Size = size;
  Loaded[view.Data] = loaded;
  return true;
}

void Win32Resources::Release(const platform::ResourceView& view) {
  const auto it = Loaded.find(view.Data);
  if (it == Loaded.end()) return;
  ::FreeResource(static_cast<HGLOBAL>(it->second));
  Loaded.erase(it);
}

}  // namespace win32
