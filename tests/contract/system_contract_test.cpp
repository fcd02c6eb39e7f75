// Process-level services that every backend shares: the named marker, the date, pauses and
// buffers.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/chunk_digest.h"
#include "platform/win_constants.h"
#include "tests/contract/contract_environment.h"

namespace {

TEST(SystemContract, MarkerNameIsTakenWhileAnyHandleLives) {
  auto env = MakeContractEnvironment();
  platform::System& system = env->Machine().Sys;
  const std::string name = "tvl_contract_marker";

  platform::MarkerResult first = system.CreateMarker(name);
  ASSERT_NE(first.Marker, nullptr);
  EXPECT_NE(first.LastError, win::kErrorAlreadyExists);

  platform::MarkerResult second = system.CreateMarker(name);
  EXPECT_NE(second.Marker, nullptr) << "an existing object still gives a handle";
  EXPECT_EQ(second.LastError, win::kErrorAlreadyExists);

  first.Marker.reset();
  platform::MarkerResult third = system.CreateMarker(name);
  EXPECT_EQ(third.LastError, win::kErrorAlreadyExists) << "the second handle keeps it alive";

  second.Marker.reset();
  third.Marker.reset();
  platform::MarkerResult fresh = system.CreateMarker(name);
  ASSERT_NE(fresh.Marker, nullptr);
  EXPECT_NE(fresh.LastError, win::kErrorAlreadyExists);
}

TEST(SystemContract, MarkerNamesAreCaseSensitive) {
  auto env = MakeContractEnvironment();
  platform::System& system = env->Machine().Sys;
  platform::MarkerResult lower = system.CreateMarker("tvl_contract_case");
  platform::MarkerResult upper = system.CreateMarker("TVL_CONTRACT_CASE");
  ASSERT_NE(upper.Marker, nullptr);
  EXPECT_NE(upper.LastError, win::kErrorAlreadyExists);
}

TEST(SystemContract, TodayIsACalendarDate) {
  auto env = MakeContractEnvironment();
  const platform::LocalDate today = env->Machine().Sys.Today();
  EXPECT_GE(today.Year, 2000);
  EXPECT_GE(today.Month, 1);
  EXPECT_LE(today.Month, 12);
  EXPECT_GE(today.Day, 1);
  EXPECT_LE(today.Day, 31);
}

TEST(SystemContract, CurrentDirectoryMustExist) {
  auto env = MakeContractEnvironment();
  EXPECT_FALSE(env->Machine().Sys.SetCurrentDirectory(env->ScratchFolder() + "Missing\\"));
}

TEST(SystemContract, BuffersAreWritableToTheirLastByte) {
  auto env = MakeContractEnvironment();
  const std::size_t size = 3 * 1024 * 1024 + 7;
  auto buffer = env->Machine().Sys.AllocateBuffer(size);
  ASSERT_NE(buffer, nullptr);
  buffer[0] = 'a';
  buffer[size - 1] = 'z';
  EXPECT_EQ(buffer[size - 1], 'z');
}

// An empty payload file still needs a buffer to be installed as an empty file, and one of a
// size that is no multiple of a page must hold exactly what was put in.
TEST(SystemContract, BuffersOfAnySizeHoldWhatIsCopiedIn) {
  auto env = MakeContractEnvironment();
  for (std::size_t size : {std::size_t{0}, std::size_t{1}, std::size_t{4097}}) {
    SCOPED_TRACE("size " + std::to_string(size));
    auto buffer = env->Machine().Sys.AllocateBuffer(size);
    ASSERT_NE(buffer, nullptr);
    const std::string pattern(size, 'p');
    if (size) std::memcpy(buffer.get(), pattern.data(), size);
    EXPECT_EQ(std::string(buffer.get(), size), pattern);
  }
}

// A large fill may be shared among threads: every byte must still land at its own offset,
// whatever the size's relation to the chunks, the bytes around it stay untouched, and each
// chunk's digest is that of the portable digest (the real machine may use another build).
TEST(SystemContract, FillBufferCopiesEveryByteInPlaceAndDigestsEachChunk) {
  auto env = MakeContractEnvironment();
  platform::System& system = env->Machine().Sys;
  const std::size_t mib = 1024 * 1024;
  for (std::size_t size : {std::size_t{0}, std::size_t{1}, 8 * mib - 1, 8 * mib, 8 * mib + 1,
                           33 * mib + 65537}) {
    SCOPED_TRACE("size " + std::to_string(size));
    std::string source(size, '\0');
    for (std::size_t k = 0; k < size; ++k) source[k] = static_cast<char>((k * 2654435761u) >> 13);
    auto buffer = system.AllocateBuffer(size + 2);
    ASSERT_NE(buffer, nullptr);
    buffer[0] = '<';
    buffer[size + 1] = '>';
    std::vector<std::uint64_t> digests(platform::DigestChunkCount(size) + 1, 0xdeadbeef);
    EXPECT_TRUE(system.FillBuffer(buffer.get() + 1, platform::MemorySource(source.data()), size,
                                  digests.data()));
    EXPECT_EQ(buffer[0], '<');
    EXPECT_EQ(buffer[size + 1], '>');
    EXPECT_TRUE(std::memcmp(buffer.get() + 1, source.data(), size) == 0);
    EXPECT_EQ(digests.back(), 0xdeadbeef);
    digests.pop_back();
    EXPECT_EQ(digests, platform::DigestChunks(source.data(), size));
    // Without digests (the benchmark's unverified build) it is a plain copy.
    auto plain = system.AllocateBuffer(size + 1);
    EXPECT_TRUE(system.FillBuffer(plain.get(), platform::MemorySource(source.data()), size, nullptr));
    EXPECT_TRUE(std::memcmp(plain.get(), source.data(), size) == 0);
  }
}

// A source that cannot give every byte (the program's own file cut short, its medium failing)
// makes the whole fill false, wherever the failure lies and whether or not it is digested.
TEST(SystemContract, FillBufferIsFalseWhenTheSourceFails) {
  auto env = MakeContractEnvironment();
  platform::System& system = env->Machine().Sys;
  const std::size_t mib = 1024 * 1024;
  struct TFailingFrom {
    std::uint64_t From;
  };
  const auto land = [](const void* context, std::uint64_t offset, char* to, std::size_t size) {
    std::memset(to, 'x', size);
    return offset + size <= static_cast<const TFailingFrom*>(context)->From;
  };
  for (const auto& [size, from] : {std::pair<std::size_t, std::size_t>{1, 0},
                                   {8 * mib + 1, 8 * mib}, {33 * mib, 17 * mib + 5}}) {
    SCOPED_TRACE("size " + std::to_string(size) + ", failing from " + std::to_string(from));
    const TFailingFrom failing{from};
    auto buffer = system.AllocateBuffer(size);
    ASSERT_NE(buffer, nullptr);
    std::vector<std::uint64_t> digests(platform::DigestChunkCount(size));
    EXPECT_FALSE(system.FillBuffer(buffer.get(), {land, &failing, 64 * 1024}, size, digests.data()));
    EXPECT_FALSE(system.FillBuffer(buffer.get(), {land, &failing, 64 * 1024}, size, nullptr));
  }
}

}  // namespace
