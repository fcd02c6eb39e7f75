// The payload check's own cost, from the setup's own code: the digest's throughput on memory
// already in the cache, and the fill of a fresh buffer (as each payload file is filled) with
// and without the digests.
//
//   digest_speed [MIB] [ROUNDS]     a MIB-sized source (default 194, the size of Tarvelon.bar)
//
// Prints "key: value" lines: digest_sse2_mb_s and digest_portable_mb_s (MB/s, best of the
// rounds, 1 MB = 10^6 bytes), fill_plain_ms and fill_digested_ms (medians), sse2 (1 when the
// fill used the SSE2 build).
//
// Then the two ways of reading a payload file, both digested, from a file of the same size
// (just written, so in the system's cache, as the setup's own file is after its start): a fill
// from a fresh mapped view of it (how the setup read its mapped image before) and one with
// ReadFile at its offsets (how it reads its own file now); read_mapped_ms and read_file_ms,
// medians.
//
//   digest_speed MIB ROUNDS mapped|file|none
//     only that way of reading (none: only the file written), for counting the process's page
//     faults from outside (bench/run.sh: /usr/bin/time, the difference to "none").
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/chunk_digest.h"
#include "platform/win32/chunk_digest_sse2.h"
#include "platform/win32/own_image_file.h"
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
  const std::string only = argc > 3 ? argv[3] : "";
  std::vector<char> source(size);
  for (std::size_t k = 0; k < size; ++k) source[k] = static_cast<char>((k * 2654435761u) >> 13);
  std::vector<char> hot(platform::kDigestChunkSize);
  platform::System& system = win32::TheMachine().Sys;
  std::vector<std::uint64_t> digests(platform::DigestChunkCount(size));
  bool right = true;
  const platform::FillSource memory = platform::MemorySource(source.data());
  if (only.empty()) {
    // Chunk by chunk into one cached buffer: the digest's pace, with only a cache-sized copy.
    const auto throughput = [&](platform::LandAndDigestFn landAndDigest) {
      double best = 1e30;
      std::uint64_t digest = 0;
      for (int r = 0; r < rounds; ++r) {
        const double start = NowMs();
        for (std::size_t at = 0; at < size; at += hot.size())
          landAndDigest(hot.data(), memory, at, std::min(hot.size(), size - at), digest);
        best = std::min(best, NowMs() - start);
      }
      return static_cast<double>(size) / 1000.0 / best;
    };
    std::printf("digest_sse2_mb_s: %.0f\n", throughput(win32::LandAndDigestSse2));
    std::printf("digest_portable_mb_s: %.0f\n", throughput(platform::LandAndDigest));

    std::vector<double> plain, digested;
    for (int r = 0; r < rounds; ++r) {
      for (bool digest : {false, true}) {
        platform::UniqueBuffer buffer = system.AllocateBuffer(size);
        const double start = NowMs();
        system.FillBuffer(buffer.get(), memory, size, digest ? digests.data() : nullptr);
        (digest ? digested : plain).push_back(NowMs() - start);
      }
    }
    right = digests == platform::DigestChunks(source.data(), size);
    std::printf("fill_plain_ms: %.1f\nfill_digested_ms: %.1f\n", Median(plain), Median(digested));
  }

  char folder[MAX_PATH + 1] = {};
  ::GetTempPathA(MAX_PATH, folder);
  const std::string path = std::string(folder) + "digest_speed_source.bin";
  {
    win32::UniqueFile out(::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    right = right && ::WriteFile(out.get(), source.data(), static_cast<DWORD>(size), &written, nullptr) &&
            written == size;
  }
  std::vector<double> mappedMs, fileMs;
  for (int r = 0; r < rounds && right && only != "none"; ++r) {
    for (bool mapped : {true, false}) {
      if (only == (mapped ? "file" : "mapped")) continue;
      win32::UniqueFile file(::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
      win32::UniqueHandle mapping(::CreateFileMappingA(file.get(), nullptr, PAGE_READONLY, 0, 0, nullptr));
      const char* view = static_cast<const char*>(::MapViewOfFile(mapping.get(), FILE_MAP_READ, 0, 0, 0));
      win32::TOwnImageFile reader(std::move(file), true);
      const win32::TFileRange range{&reader, 0, size};
      platform::UniqueBuffer buffer = system.AllocateBuffer(size);
      const double start = NowMs();
      const bool filled = system.FillBuffer(
          buffer.get(), mapped ? platform::MemorySource(view) : win32::FileSource(range), size, digests.data());
      (mapped ? mappedMs : fileMs).push_back(NowMs() - start);
      right = right && filled && digests == platform::DigestChunks(source.data(), size);
      ::UnmapViewOfFile(view);
    }
  }
  ::DeleteFileA(path.c_str());
  if (right && !mappedMs.empty()) std::printf("read_mapped_ms: %.1f\n", Median(mappedMs));
  if (right && !fileMs.empty()) std::printf("read_file_ms: %.1f\n", Median(fileMs));
  std::printf("digests_right: %d\n", right ? 1 : 0);
  return right ? 0 : 1;
}
