#include "platform/win32/shared_fill.h"

#include "platform/win32/windows_api.h"

#include <algorithm>

#include "platform/win32/chunk_digest_sse2.h"
#include "platform/win32/owners.h"
#include "platform/win32/system_library.h"

namespace win32 {
namespace {

// Below this a fill is over before a thread would have started.
constexpr std::size_t kSharedFillFrom = 8u << 20;
constexpr SIZE_T kFillThreadStack = 64u << 10;

using platform::LandAndDigestFn;

// The threads of one fill take its chunks in turn, so that a thread slowed down by the
// machine leaves more of them to the others. Chunks lie on 4 MiB bounds: no two threads
// touch the same page.
struct TFillJob {
  char* Buffer;
  const platform::FillSource& Source;
  std::size_t Size;
  std::uint64_t* Digests;
  LandAndDigestFn LandAndDigest;
  LONG Chunks;
  volatile LONG Taken;
  volatile LONG Failed;
};

void FillChunks(TFillJob& job) {
  while (!job.Failed) {
    const LONG k = ::InterlockedIncrement(&job.Taken) - 1;
    if (k >= job.Chunks) return;
    if (!platform::FillChunk(job.Buffer, job.Source, job.Size, static_cast<std::size_t>(k),
                             job.Digests, job.LandAndDigest))
      ::InterlockedExchange(&job.Failed, 1);
  }
}

DWORD WINAPI FillThread(void* job) {
  FillChunks(*static_cast<TFillJob*>(job));
  return 0;
}

// The digest's SSE2 build is about two and a half times as fast as the portable one on the
// same processor; it is taken only where the processor and the system both support SSE2.
LandAndDigestFn ChooseLandAndDigest() {
  using IsFeatureFn = BOOL(WINAPI*)(DWORD);
  const auto isFeature =
      win32::LookUpFunction<IsFeatureFn>("kernel32.dll", "IsProcessorFeaturePresent");
  return isFeature && isFeature(PF_XMMI64_INSTRUCTIONS_AVAILABLE) ? LandAndDigestSse2
                                                                  : platform::LandAndDigest;
}

}  // namespace

bool FillShared(char* buffer, const platform::FillSource& source, std::size_t size,
                std::uint64_t* digests, unsigned threads) {
  static const LandAndDigestFn landAndDigest = ChooseLandAndDigest();
  TFillJob job{buffer, source, size, digests, landAndDigest,
               static_cast<LONG>(platform::DigestChunkCount(size)), 0, 0};
  threads = size < kSharedFillFrom
                ? 1
                : std::min({threads, kMaxFillThreads, static_cast<unsigned>(job.Chunks)});
  // This thread fills too; a helper that cannot start leaves its chunks to the others.
  UniqueHandle helpers[kMaxFillThreads];
  for (unsigned k = 1; k < threads; ++k)
    helpers[k].reset(::CreateThread(nullptr, kFillThreadStack, FillThread, &job,
                                    STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr));
  FillChunks(job);
  for (unsigned k = 1; k < threads; ++k)
    if (helpers[k]) ::WaitForSingleObject(helpers[k].get(), INFINITE);
  return !job.Failed;
}

}  // namespace win32
