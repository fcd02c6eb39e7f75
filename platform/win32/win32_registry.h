#pragma once
// The registry through advapi32: keys opened with KEY_ALL_ACCESS and no view flag.
#include "platform/registry.h"

namespace win32 {

class Win32Registry final : public platform::Registry {
 public:
  std::unique_ptr<platform::RegistryKey> Root(platform::RootKey root) override;
};

}  // namespace win32
