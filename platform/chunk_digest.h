#pragma once
// The digest that vouches for a payload file: XXH3-64 (seed 0) of each chunk of
// kDigestChunkSize bytes, the last chunk shorter. It guards against damage (a download cut
// short, a flipped bit on a disk or a proxy), not against tampering, which is Authenticode's
// part. Chunks let several threads check one file side by side, each its own chunks.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace platform {

constexpr std::size_t kDigestChunkSize = 4u << 20;

// How many digests a file of `size` bytes has: none for an empty file.
constexpr std::size_t DigestChunkCount(std::size_t size) {
  return size / kDigestChunkSize + (size % kDigestChunkSize ? 1 : 0);
}

// The digest of `size` bytes at `data`.
std::uint64_t DigestOf(const char* data, std::size_t size);

// The digests of every chunk of `size` bytes at `data`, in order.
std::vector<std::uint64_t> DigestChunks(const char* data, std::size_t size);

// Copies `size` bytes from `from` to `to` and returns the digest of the bytes as they now
// stand at `to`. The copy goes in blocks that stay in the processor's cache, so that the
// digest reads each byte there, right after it was written.
std::uint64_t CopyAndDigest(char* to, const char* from, std::size_t size);

using CopyAndDigestFn = std::uint64_t (*)(char* to, const char* from, std::size_t size);

// Chunk k of a fill of `size` bytes from `source` into `buffer`: copied and, with `digests`,
// digested into digests[k] by `copyAndDigest` (a build of CopyAndDigest); without, copied alone.
void FillChunk(char* buffer, const char* source, std::size_t size, std::size_t k,
               std::uint64_t* digests, CopyAndDigestFn copyAndDigest = CopyAndDigest);

}  // namespace platform
