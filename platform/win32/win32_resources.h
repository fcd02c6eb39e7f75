#pragma once
// Resources of the program's own module.
#include <map>
#include <memory>

#include "platform/resources.h"
#include "platform/win32/own_image_file.h"

namespace win32 {

class Win32Resources final : public platform::Resources {
 public:
  bool Find(const std::string& type, const std::string& name,
            platform::ResourceView& view) override;
  void Release(const platform::ResourceView& view) override;
  platform::FillSource Source(const platform::ResourceView& view) override;

 private:
  // LoadResource's handle for each view handed out, for FreeResource.
  std::map<const char*, void*> Loaded;
  // The program's own file, opened at the first read of a resource; null where it cannot be
  // had, and the views are then read from the mapped image.
  std::unique_ptr<TOwnImageFile> OwnFile;
  bool OwnFileTried = false;
  // Where in that file each view handed out lies, for its source.
  std::map<const char*, TFileRange> Ranges;
};

}  // namespace win32
