#pragma once
// The digest's code, for the one or two files that compile it: the portable build, and on
// 32-bit Windows a second build for processors with SSE2, chosen at run time. Everything here
// has internal linkage, so that the linker never trades one build's functions for the other's.
#include <cstring>

#define XXH_INLINE_ALL
#include <xxhash.h>

#include "platform/chunk_digest.h"

namespace {

// Both go through XXH3's streaming functions alone (which give the same digests as its one-shot
// one), so that the hash's code is built into the setup once per build and not twice.
// With a source, each block is landed at `to` first and digested there while it is still in
// the cache; without, the bytes at `to` are read as they are.
[[maybe_unused]] bool DigestBlocks(char* to, const platform::FillSource* source,
                                   std::uint64_t offset, std::size_t size, std::uint64_t& digest) {
  const std::size_t blockSize = source ? source->Block : platform::kMemoryBlock;
  XXH3_state_t state;
  XXH3_INITSTATE(&state);
  XXH3_64bits_reset(&state);
  for (std::size_t done = 0; done < size; done += blockSize) {
    const std::size_t block = size - done < blockSize ? size - done : blockSize;
    if (source && !source->Land(source->Context, offset + done, to + done, block)) return false;
    XXH3_64bits_update(&state, to + done, block);
  }
  digest = XXH3_64bits_digest(&state);
  return true;
}

[[maybe_unused]] std::uint64_t DigestOfImpl(const char* data, std::size_t size) {
  std::uint64_t digest = 0;
  DigestBlocks(const_cast<char*>(data), nullptr, 0, size, digest);  // read, never written
  return digest;
}

[[maybe_unused]] bool LandAndDigestImpl(char* to, const platform::FillSource& source,
                                        std::uint64_t offset, std::size_t size,
                                        std::uint64_t& digest) {
  return DigestBlocks(to, &source, offset, size, digest);
}

}  // namespace
