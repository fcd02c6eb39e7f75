// The payload check's own cost, from the setup's own code: the digest's throughput on memory
// already in the cache, and the fill of a fresh buffer (as each payload file is filled) with
// and without the digests.
//
//   digest_speed [MIB] [ROUNDS]     a MIB-sized source (default 194, the size of Tarvelon.bar)
//
// Prints "key: value" lines: digest_sse2_mb_s and digest_portable_mb_s (MB/s, best of the
// rounds, 1 MB = 10^6 bytes), fill_plain_ms and fill_digested_ms (medians), sse2 (1 when the
// fill used the SSE2 build).
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "platform/chunk_digest.h"
#include "platform/win32/chunk_digest_sse2.h"
#include "platform/win32/win32_machine.h"

namespace {

double NowMs() {
  static LARGE_INTEGER frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return f;
  }();
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return static_cast<double>(now.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  const std::size_t size = (argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 194) << 20;
  const int rounds = argc > 2 ? std::atoi(argv[2]) : 7;
  std::vector<char> source(size);
  for (std::size_t k = 0; k < size; ++k) source[k] = static_cast<char>((k * 2654435761u) >> 13);
  std::vector<char> hot(platform::kDigestChunkSize);

  // Chunk by chunk into one cached buffer: the digest's pace, with only a cache-sized copy.
  const auto throughput = [&](auto copyAndDigest) {
    double best = 1e30;
    for (int r = 0; r < rounds; ++r) {
      const double start = NowMs();
      for (std::size_t at = 0; at < size; at += hot.size())
        copyAndDigest(hot.data(), source.data() + at, std::min(hot.size(), size - at));
      best = std::min(best, NowMs() - start);
    }
    return static_cast<double>(size) / 1000.0 / best;
  };
  std::printf("digest_sse2_mb_s: %.0f\n", throughput(win32::CopyAndDigestSse2));
  std::printf("digest_portable_mb_s: %.0f\n", throughput(platform::CopyAndDigest));

  platform::System& system = win32::TheMachine().Sys;
  std::vector<std::uint64_t> digests(platform::DigestChunkCount(size));
  std::vector<double> plain, digested;
  for (int r = 0; r < rounds; ++r) {
    for (bool digest : {false, true}) {
      platform::UniqueBuffer buffer = system.AllocateBuffer(size);
      const double start = NowMs();
      system.FillBuffer(buffer.get(), source.data(), size, digest ? digests.data() : nullptr);
      (digest ? digested : plain).push_back(NowMs() - start);
    }
  }
  const bool right = digests == platform::DigestChunks(source.data(), size);
  std::printf("fill_plain_ms: %.1f\nfill_digested_ms: %.1f\ndigests_right: %d\n", Median(plain),
              Median(digested), right ? 1 : 0);
  return right ? 0 : 1;
}
