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

// Where the bytes of a fill come from. `Land` puts at `to` the `size` bytes that the source
// holds from `offset` on, and is false when they cannot be had (a file cut short, a medium that
// fails); it may be called from several threads at once, for different ranges. `Block` is how
// many bytes a landing takes at most when they are digested, so that each block is digested
// while it is still in the processor's cache.
struct FillSource {
  bool (*Land)(const void* context, std::uint64_t offset, char* to, std::size_t size);
  const void* Context;
  std::size_t Block;
};

// Small enough to stay in the first-level or second-level cache between copy and digest.
constexpr std::size_t kMemoryBlock = 64u << 10;

// Bytes that already lie in memory from `data` on: landing them is a copy, which never fails
// (a page of them that cannot be read is a fault, not a false).
FillSource MemorySource(const char* data);

// Lands the `size` bytes of `source` from `offset` on at `to`, block by block, and gives in
// `digest` the digest of the bytes as they now stand at `to`. False as soon as a block cannot
// be had; `to` and `digest` are then undefined.
bool LandAndDigest(char* to, const FillSource& source, std::uint64_t offset, std::size_t size,
                   std::uint64_t& digest);

using LandAndDigestFn = bool (*)(char* to, const FillSource& source, std::uint64_t offset,
                                 std::size_t size, std::uint64_t& digest);

// Chunk k of a fill of `size` bytes from `source` into `buffer`: landed and, with `digests`,
// digested into digests[k] by `landAndDigest` (a build of LandAndDigest); without, landed in
// one piece. False when the source could not give the chunk's bytes.
bool FillChunk(char* buffer, const FillSource& source, std::size_t size, std::size_t k,
               std::uint64_t* digests, LandAndDigestFn landAndDigest = LandAndDigest);

}  // namespace platform
