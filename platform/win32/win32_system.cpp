#include "platform/win32/win32_system.h"

#include "platform/win32/windows_api.h"
#include <objbase.h>

#include "platform/win32/owners.h"
#include "platform/win32/shared_fill.h"
#include "platform/win32/system_library.h"

#include <algorithm>

namespace win32 {
namespace {

unsigned ProcessorCount() {
  SYSTEM_INFO info{};
  ::GetSystemInfo(&info);
  return info.dwNumberOfProcessors ? info.dwNumberOfProcessors : 1;
}

class Win32Marker final : public platform::NamedMarker {
 public:
  explicit Win32Marker(HANDLE handle) : Handle(handle) {}

 private:
  UniqueHandle Handle;
};

}  // namespace

std::uint32_t Win32System::UserDefaultLcid() { return ::GetUserDefaultLCID(); }

std::uint32_t Win32System::PlatformId() { return PlatformFamily(); }

platform::MarkerResult Win32System::CreateMarker(const std::string& name) {
  HANDLE handle = ::CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 64,
                                       name.c_str());
  const DWORD lastError = ::GetLastError();  // read at once, before anything can change it
  platform::MarkerResult result;
  result.LastError = static_cast<long>(lastError);
  if (handle) result.Marker = std::make_unique<Win32Marker>(handle);
  return result;
}

bool Win32System::ComInitialize() {
  const HRESULT hr = ::CoInitialize(nullptr);
  return hr == S_OK || hr == S_FALSE;
}

void Win32System::ComUninitialize() { ::CoUninitialize(); }

bool Win32System::SetCurrentDirectory(const std::string& path) {
  return ::SetCurrentDirectoryA(path.c_str()) != FALSE;
}

platform::LocalDate Win32System::Today() {
  SYSTEMTIME now{};
  ::GetLocalTime(&now);
  return platform::LocalDate{now.wYear, now.wMonth, now.wDay};
}

void Win32System::Sleep(std::uint32_t milliseconds) { ::Sleep(milliseconds); }

platform::UniqueBuffer Win32System::AllocateBuffer(std::size_t size) {
  // Straight from the virtual memory manager: fresh pages, zeroed by the system only on their
  // first touch, and handed back whole on release. A heap may commit or clear a large block
  // itself before the caller writes it.
  const platform::BufferDeleter release = [](char* memory) {
    ::VirtualFree(memory, 0, MEM_RELEASE);
  };
  void* memory = ::VirtualAlloc(nullptr, size ? size : 1, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
  return {static_cast<char*>(memory), release};
}

bool Win32System::FillBuffer(char* buffer, const platform::FillSource& source, std::size_t size,
                             std::uint64_t* digests) {
  return FillShared(buffer, source, size, digests, ProcessorCount());
}

}  // namespace win32
