#pragma once
// Resources of the program's own module (kernel32).
#include <cstddef>
#include <string>

namespace platform {

struct ResourceView {
  const char* Data = nullptr;
  std::size_t Size = 0;
};

class Resources {
 public:
  virtual ~Resources() = default;
  // FindResourceA(own module, name, type) + LoadResource + LockResource + SizeofResource.
  // Letter case of type and name does not matter. False when any step fails.
  virtual bool Find(const std::string& type, const std::string& name, ResourceView& view) = 0;
  // FreeResource; the view must not be used afterwards.
  virtual void Release(const ResourceView& view) = 0;
};

}  // namespace platform
