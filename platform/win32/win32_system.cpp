#include "platform/win32/win32_system.h"

#include "platform/win32/windows_api.h"
#include <objbase.h>

#include "platform/chunk_digest.h"
#include "platform/win32/chunk_digest_sse2.h"
#include "platform/win32/owners.h"
#include "platform/win32/system_library.h"

#include <algorithm>

namespace win32 {
namespace {

// Below this a fill is over before a thread would have started.
constexpr std::size_t kSharedFillFrom = 8u << 20;
// Beyond a few processors the fill is bound by memory, not by page faults.
constexpr unsigned kMaxFillThreads = 4;
constexpr SIZE_T kFillThreadStack = 64u << 10;

using platform::CopyAndDigestFn;

// The threads of one fill take its chunks in turn, so that a thread slowed down by the
// machine leaves more of them to the others. Chunks lie on 4 MiB bounds: no two threads
// touch the same page.
struct TFillJob {
  char* Buffer;
  const char* Source;
  std::size_t Size;
  std::uint64_t* Digests;
  CopyAndDigestFn CopyAndDigest;
  LONG Chunks;
  volatile LONG Taken;
};

void FillChunks(TFillJob& job) {
  for (;;) {
    const LONG k = ::InterlockedIncrement(&job.Taken) - 1;
    if (k >= job.Chunks) return;
    platform::FillChunk(job.Buffer, job.Source, job.Size, static_cast<std::size_t>(k), job.Digests,
                        job.CopyAndDigest);
  }
}

DWORD WINAPI FillThread(void* job) {
  FillChunks(*static_cast<TFillJob*>(job));
  return 0;
}

// The digest's SSE2 build is about two and a half times as fast as the portable one on the
// same processor; it is taken only where the processor and the system both support SSE2.
CopyAndDigestFn ChooseCopyAndDigest() {
  using IsFeatureFn = BOOL(WINAPI*)(DWORD);
  const auto isFeature =
      win32::LookUpFunction<IsFeatureFn>("kernel32.dll", "IsProcessorFeaturePresent");
  return isFeature && isFeature(PF_XMMI64_INSTRUCTIONS_AVAILABLE) ? CopyAndDigestSse2
                                                                  : platform::CopyAndDigest;
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

void Win32System::FillBuffer(char* buffer, const char* source, std::size_t size,
                             std::uint64_t* digests) {
  static const CopyAndDigestFn copyAndDigest = ChooseCopyAndDigest();
  TFillJob job{buffer, source, size, digests, copyAndDigest,
               static_cast<LONG>(platform::DigestChunkCount(size)), 0};
  const unsigned threads =
      size < kSharedFillFrom
          ? 1
          : std::min({ProcessorCount(), kMaxFillThreads, static_cast<unsigned>(job.Chunks)});
  // This thread fills too; a helper that cannot start leaves its chunks to the others.
  UniqueHandle helpers[kMaxFillThreads];
  for (unsigned k = 1; k < threads; ++k)
    helpers[k].reset(::CreateThread(nullptr, kFillThreadStack, FillThread, &job,
                                    STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr));
  FillChunks(job);
  for (unsigned k = 1; k < threads; ++k)
    if (helpers[k]) ::WaitForSingleObject(helpers[k].get(), INFINITE);
}

}  // namespace win32
