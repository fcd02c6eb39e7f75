#pragma once
// Process-level services: locale, platform family, the named marker, COM, current
// directory, clock, pauses and large buffers.
#include "platform/system.h"

namespace win32 {

class Win32System final : public platform::System {
 public:
  std::uint32_t UserDefaultLcid() override;
  std::uint32_t PlatformId() override;
  platform::MarkerResult CreateMarker(const std::string& name) override;
  bool ComInitialize() override;
  void ComUninitialize() override;
  bool SetCurrentDirectory(const std::string& path) override;
  platform::LocalDate Today() override;
  void Sleep(std::uint32_t milliseconds) override;
  platform::UniqueBuffer AllocateBuffer(std::size_t size) override;
  bool FillBuffer(char* buffer, const platform::FillSource& source, std::size_t size,
                  std::uint64_t* digests) override;
};

}  // namespace win32
