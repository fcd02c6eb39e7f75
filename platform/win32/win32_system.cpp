#include "platform/win32/win32_system.h"

#include "platform/win32/windows_api.h"
#include <objbase.h>

#include "platform/win32/owners.h"
#include "platform/win32/system_library.h"

#include <algorithm>
#include <cstring>

namespace win32 {
namespace {

// Below this a copy is over before a thread would have started.
constexpr std::size_t kSharedCopyFrom = 8u << 20;
// Beyond a few processors the copy is bound by memory, not by page faults.
constexpr unsigned kMaxCopyThreads = 4;
// Pieces begin on allocation-granularity bounds, so no two threads fault on the same page.
constexpr std::size_t kPieceAlignment = 64u << 10;
constexpr SIZE_T kCopyThreadStack = 64u << 10;

struct TCopyPiece {
  char* To;
  const char* From;
  std::size_t Size;
};

DWORD WINAPI CopyPiece(void* piece) {
  const auto* p = static_cast<const TCopyPiece*>(piece);
  std::memcpy(p->To, p->From, p->Size);
  return 0;
}

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

void Win32System::FillBuffer(char* buffer, const char* source, std::size_t size) {
  const unsigned threads = size < kSharedCopyFrom ? 1 : std::min(ProcessorCount(), kMaxCopyThreads);
  if (threads < 2) {
    if (size) std::memcpy(buffer, source, size);
    return;
  }
  const std::size_t share = size / threads / kPieceAlignment * kPieceAlignment;
  TCopyPiece pieces[kMaxCopyThreads];
  UniqueHandle helpers[kMaxCopyThreads];
  for (unsigned k = 0; k < threads; ++k) {
    const std::size_t offset = share * k;
    pieces[k] = {buffer + offset, source + offset, k + 1 == threads ? size - offset : share};
  }
  // The first piece is this thread's; a helper that cannot start leaves its piece to it too.
  for (unsigned k = 1; k < threads; ++k)
    helpers[k].reset(::CreateThread(nullptr, kCopyThreadStack, CopyPiece, &pieces[k],
                                    STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr));
  CopyPiece(&pieces[0]);
  for (unsigned k = 1; k < threads; ++k) {
    if (helpers[k])
      ::WaitForSingleObject(helpers[k].get(), INFINITE);
    else
      CopyPiece(&pieces[k]);
  }
}

}  // namespace win32
