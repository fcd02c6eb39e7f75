// The digest table's checks of its own structure. Each damaged table here carries a correct
// digest of itself, so that only the check under test can refuse it, and each has an
// undamaged twin that decodes, so that the refusal comes from the damage alone.
#include <gtest/gtest.h>

#include "install/digest_table.h"
#include "platform/chunk_digest.h"

namespace {

constexpr std::uint64_t kChunk = platform::kDigestChunkSize;

std::string Number(std::uint64_t value, int bytes) {
  std::string out;
  for (int k = 0; k < bytes; ++k) out += static_cast<char>((value >> (8 * k)) & 0xFF);
  return out;
}

std::string Header(std::uint64_t chunkSize, std::uint32_t files) {
  return "TVLDIGST" + Number(chunkSize, 4) + Number(files, 4);
}

// One file's entry with `digests` digests (1, 2, 3, ...), whatever its size asks for.
std::string Entry(const std::string& type, const std::string& name, std::uint64_t size,
                  std::size_t digests, std::size_t nameLength) {
  std::string out = Number(type.size(), 1) + type + Number(nameLength, 1) + name + Number(size, 8);
  for (std::size_t k = 0; k < digests; ++k) out += Number(k + 1, 8);
  return out;
}
std::string Entry(const std::string& type, const std::string& name, std::uint64_t size, std::size_t digests) {
  return Entry(type, name, size, digests, name.size());
}

std::optional<TDigestTable> Decode(const std::string& bytes) {
  return DecodeDigestTable(bytes.data(), bytes.size());
}

TEST(DigestTable, EncodedTableDecodesToItself) {
  const TDigestTable table{{"EXE", "TARVELON", 5, {7}}, {"BAR", "TARVELON", kChunk + 1, {8, 9}},
                           {"CAR", "EMPTY", 0, {}}};
  const auto decoded = Decode(EncodeDigestTable(table));
  ASSERT_TRUE(decoded.has_value());
  ASSERT_EQ(decoded->size(), 3u);
  for (std::size_t k = 0; k < 3; ++k) {
    EXPECT_EQ((*decoded)[k].Type, table[k].Type);
    EXPECT_EQ((*decoded)[k].Name, table[k].Name);
    EXPECT_EQ((*decoded)[k].Size, table[k].Size);
    EXPECT_EQ((*decoded)[k].Chunks, table[k].Chunks);
  }
}

TEST(DigestTable, SealedTableWithDamagedStructureVouchesForNothing) {
  const std::string bar = Entry("BAR", "TARVELON", kChunk + 1, 2);
  // 25 digests: enough bytes before the next entry that a name read backwards stays inside.
  const std::string big = Entry("EXE", "TARVELON", 25 * kChunk, 25);
  const struct {
    const char* label;
    std::string whole, damaged;
  } rows[] = {
      {"a byte too many", Header(kChunk, 1) + bar, Header(kChunk, 1) + bar + '\0'},
      {"a digest too many", Header(kChunk, 1) + bar, Header(kChunk, 1) + bar + Number(3, 8)},
      {"more chunks than bytes left", Header(kChunk, 1) + bar,
       Header(kChunk, 1) + Entry("BAR", "TARVELON", 2 * kChunk + 1, 2)},
      {"a size no memory could hold", Header(kChunk, 1) + bar,
       Header(kChunk, 1) + Entry("BAR", "TARVELON", ~std::uint64_t{0}, 2)},
      {"chunks of 1 MiB", Header(kChunk, 1) + Entry("BAR", "TARVELON", kChunk, 1),
       Header(kChunk / 4, 1) + Entry("BAR", "TARVELON", kChunk, 4)},
      {"chunks of no bytes", Header(kChunk, 1) + bar, Header(0, 1) + bar},
      {"a name longer than what is left", Header(kChunk, 2) + big + Entry("CAR", "TARVELON", 0, 0),
       Header(kChunk, 2) + big + Entry("CAR", "", 0, 0, 200)},
      {"more files than entries", Header(kChunk, 1) + bar, Header(kChunk, 2) + bar},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    EXPECT_TRUE(Decode(SealDigestTable(row.whole)).has_value());
    EXPECT_FALSE(Decode(SealDigestTable(row.damaged)).has_value());
  }
}

}  // namespace
