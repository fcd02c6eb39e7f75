#pragma once
// Resources of the program's own module (kernel32).
#include <cstddef>
#include <string>

#include "platform/chunk_digest.h"

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
  // FreeResource; the view and its source must not be used afterwards.
  virtual void Release(const ResourceView& view) = 0;
  // Where the view's bytes are read from by System::FillBuffer. The real machine reads them
  // from the program's own file, so that a medium that fails or a file cut short makes the
  // fill false instead of faulting in memory; where that file cannot be had, from the mapped
  // image (`Data`). Bytes that the resource does not hold (its size damaged) are never had.
  virtual FillSource Source(const ResourceView& view) = 0;
};

}  // namespace platform
