// The digest's two builds (portable, and SSE2 as the i686 setup compiles it) against XXH3-64's
// known values, at sizes around each of its internal bounds and the copy's 64 KiB blocks, from
// an odd address. On the 32-bit build of these tests this is what tells the two builds apart.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "platform/chunk_digest.h"
#include "platform/win32/chunk_digest_sse2.h"

namespace {

struct TKnownDigest {
  std::size_t Size;
  std::uint64_t Digest;  // XXH3-64, seed 0, of Pattern() from its second byte
};

const TKnownDigest kKnown[] = {
    {0, 0x2D06800538D394C2ull},          {1, 0x5BDD139269F447C1ull},
    {3, 0xCC3D1CA990A6DC64ull},          {16, 0xB89283DC1039C817ull},
    {17, 0xF8CF4E5B9C287F20ull},         {128, 0x3A64611AA0081E41ull},
    {129, 0x8A9D9B6F3BDB0C84ull},        {240, 0x04CC7177088288F1ull},
    {241, 0xED489B7F68A884E6ull},        {65535, 0x9EF4CB6367DFC023ull},
    {65536, 0x95EB27E16A8C769Cull},      {65537, 0x5F7F183503084ECCull},
    {(4u << 20) + 7, 0x0D44A95223C4A605ull},
};

std::vector<char> Pattern(std::size_t size) {
  std::vector<char> bytes(size);
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>(i * 131u + (i >> 8));
  return bytes;
}

TEST(DigestBuilds, BothBuildsGiveTheKnownDigestAndCopyEveryByte) {
  const std::vector<char> source = Pattern((4u << 20) + 16);
  const char* from = source.data() + 1;
  for (const TKnownDigest& row : kKnown) {
    SCOPED_TRACE(row.Size);
    EXPECT_EQ(platform::DigestOf(from, row.Size), row.Digest);
    for (const platform::LandAndDigestFn build : {platform::LandAndDigest, win32::LandAndDigestSse2}) {
      std::vector<char> to(row.Size + 2, '\x5A');
      std::uint64_t digest = 0;
      ASSERT_TRUE(build(to.data() + 1, platform::MemorySource(source.data()), 1, row.Size, digest));
      EXPECT_EQ(digest, row.Digest);
      EXPECT_EQ(std::memcmp(to.data() + 1, from, row.Size), 0);
      EXPECT_EQ(to.front(), '\x5A');  // nothing written outside
      EXPECT_EQ(to.back(), '\x5A');
    }
  }
}

}  // namespace
