#pragma once
// The digest's code, for the one or two files that compile it: the portable build, and on
// 32-bit Windows a second build for processors with SSE2, chosen at run time. Everything here
// has internal linkage, so that the linker never trades one build's functions for the other's.
#include <cstring>

#define XXH_INLINE_ALL
#include <xxhash.h>

#include "platform/chunk_digest.h"

namespace {

// Small enough to stay in the first-level or second-level cache between copy and digest.
constexpr std::size_t kCopyBlock = 64u << 10;

// Both go through XXH3's streaming functions alone (which give the same digests as its one-shot
// one), so that the hash's code is built into the setup once per build and not twice.
// With `from`, each block is copied to `to` first and digested there; without, `to` is read.
[[maybe_unused]] std::uint64_t DigestBlocks(char* to, const char* from, std::size_t size) {
  XXH3_state_t state;
  XXH3_INITSTATE(&state);
  XXH3_64bits_reset(&state);
  for (std::size_t done = 0; done < size; done += kCopyBlock) {
    const std::size_t block = size - done < kCopyBlock ? size - done : kCopyBlock;
    if (from) std::memcpy(to + done, from + done, block);
    XXH3_64bits_update(&state, to + done, block);
  }
  return XXH3_64bits_digest(&state);
}

[[maybe_unused]] std::uint64_t DigestOfImpl(const char* data, std::size_t size) {
  return DigestBlocks(const_cast<char*>(data), nullptr, size);  // read, never written
}

[[maybe_unused]] std::uint64_t CopyAndDigestImpl(char* to, const char* from, std::size_t size) {
  return DigestBlocks(to, from, size);
}

}  // namespace
