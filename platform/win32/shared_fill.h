#pragma once
// The fill of a large buffer shared among the processors, chunk by chunk: filling fresh memory
// costs mostly its page faults, and faults of different pages can be taken side by side.
#include <cstddef>
#include <cstdint>

#include "platform/chunk_digest.h"

namespace win32 {

// Beyond a few processors the fill is bound by memory, not by page faults.
constexpr unsigned kMaxFillThreads = 4;

// platform::System::FillBuffer on at most `threads` threads (this one among them; fewer for a
// small fill). A chunk that the source cannot give stops every thread at its next chunk, and
// the fill is false once all have stopped.
bool FillShared(char* buffer, const platform::FillSource& source, std::size_t size,
                std::uint64_t* digests, unsigned threads);

}  // namespace win32
