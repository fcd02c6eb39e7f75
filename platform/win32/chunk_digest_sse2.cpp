#include "platform/win32/chunk_digest_sse2.h"

#include "platform/chunk_digest_impl.h"

namespace win32 {

bool LandAndDigestSse2(char* to, const platform::FillSource& source, std::uint64_t offset,
                       std::size_t size, std::uint64_t& digest) {
  return LandAndDigestImpl(to, source, offset, size, digest);
}

}  // namespace win32
