#include "platform/chunk_digest_impl.h"

namespace platform {

std::uint64_t DigestOf(const char* data, std::size_t size) { return DigestOfImpl(data, size); }

std::vector<std::uint64_t> DigestChunks(const char* data, std::size_t size) {
  std::vector<std::uint64_t> digests;
  for (std::size_t at = 0; at < size; at += kDigestChunkSize)
    digests.push_back(DigestOfImpl(data + at, size - at < kDigestChunkSize ? size - at : kDigestChunkSize));
  return digests;
}

FillSource MemorySource(const char* data) {
  const auto copy = [](const void* context, std::uint64_t offset, char* to, std::size_t size) {
    std::memcpy(to, static_cast<const char*>(context) + offset, size);
    return true;
  };
  return {copy, data, kMemoryBlock};
}

bool LandAndDigest(char* to, const FillSource& source, std::uint64_t offset, std::size_t size,
                   std::uint64_t& digest) {
  return LandAndDigestImpl(to, source, offset, size, digest);
}

bool FillChunk(char* buffer, const FillSource& source, std::size_t size, std::size_t k,
               std::uint64_t* digests, LandAndDigestFn landAndDigest) {
  const std::size_t offset = k * kDigestChunkSize;
  const std::size_t chunk = size - offset < kDigestChunkSize ? size - offset : kDigestChunkSize;
  if (digests) return landAndDigest(buffer + offset, source, offset, chunk, digests[k]);
  return source.Land(source.Context, offset, buffer + offset, chunk);
}

}  // namespace platform
