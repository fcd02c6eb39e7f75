#pragma once
// The digest's build for processors with SSE2 (compiled with -msse2 on 32-bit Windows; the
// same code as platform::CopyAndDigest, and the same digests). Call it only where
// IsProcessorFeaturePresent(PF_XMMI64_INSTRUCTIONS_AVAILABLE) says so.
#include <cstddef>
#include <cstdint>

namespace win32 {

std::uint64_t CopyAndDigestSse2(char* to, const char* from, std::size_t size);

}  // namespace win32
