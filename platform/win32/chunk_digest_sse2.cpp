#include "platform/win32/chunk_digest_sse2.h"

#include "platform/chunk_digest_impl.h"

namespace win32 {

std::uint64_t CopyAndDigestSse2(char* to, const char* from, std::size_t size) {
  return CopyAndDigestImpl(to, from, size);
}

}  // namespace win32
