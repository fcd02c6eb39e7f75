#include "platform/chunk_digest_impl.h"

namespace platform {

std::uint64_t DigestOf(const char* data, std::size_t size) { return DigestOfImpl(data, size); }

std::vector<std::uint64_t> DigestChunks(const char* data, std::size_t size) {
  std::vector<std::uint64_t> digests;
  for (std::size_t at = 0; at < size; at += kDigestChunkSize)
    digests.push_back(DigestOfImpl(data + at, size - at < kDigestChunkSize ? size - at : kDigestChunkSize));
  return digests;
}

std::uint64_t CopyAndDigest(char* to, const char* from, std::size_t size) {
  return CopyAndDigestImpl(to, from, size);
}

void FillChunk(char* buffer, const char* source, std::size_t size, std::size_t k,
               std::uint64_t* digests, CopyAndDigestFn copyAndDigest) {
  const std::size_t offset = k * kDigestChunkSize;
  const std::size_t chunk = size - offset < kDigestChunkSize ? size - offset : kDigestChunkSize;
  if (digests)
    digests[k] = copyAndDigest(buffer + offset, source + offset, chunk);
  else
    std::memcpy(buffer + offset, source + offset, chunk);
}

}  // namespace platform
