#pragma once
// Resources of the program's own module.
#include <map>

#include "platform/resources.h"

namespace win32 {

class Win32Resources final : public platform::Resources {
 public:
  bool Find(const std::string& type, const std::string& name,
            platform::ResourceView& view) override;
  void Release(const platform::ResourceView& view) override;

 private:
  // LoadResource's handle for each view handed out, for FreeResource.
  std::map<const char*, void*> Loaded;
};

}  // namespace win32
