#pragma once
// The digest's build for processors with SSE2 (compiled with -msse2 on 32-bit Windows; the
// same code as platform::LandAndDigest, and the same digests). Call it only where
// IsProcessorFeaturePresent(PF_XMMI64_INSTRUCTIONS_AVAILABLE) says so.
#include <cstddef>
#include <cstdint>

#include "platform/chunk_digest.h"

namespace win32 {

bool LandAndDigestSse2(char* to, const platform::FillSource& source, std::uint64_t offset,
                       std::size_t size, std::uint64_t& digest);

}  // namespace win32
