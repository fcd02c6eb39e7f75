#pragma once
// The table of digests that the build makes of every payload file and embeds beside them, in
// a resource of its own. One format for the build's writer and the setup's reader; every
// number little-endian:
//   "TVLDIGST"                                  8 bytes
//   chunk size, number of files                 u32 each
//   per file: type length (u8), type, name length (u8), name, size (u64), one u64 digest per
//             chunk of the file (platform/chunk_digest.h)
//   digest of everything before it              u64
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct TFileDigests {
  std::string Type;  // the payload's resource type and name, as the resource script has them
  std::string Name;
  std::uint64_t Size = 0;
  std::vector<std::uint64_t> Chunks;
};

using TDigestTable = std::vector<TFileDigests>;

// Where the setup carries the table: an RT_RCDATA resource, a standard type, so the
// executable still holds no resource of a named type but its payload files.
inline const std::string kDigestTableType = "#10";
inline const std::string kDigestTableName = "PAYLOADDIGESTS";

// A table never needs more: it holds 8 bytes for every 4 MiB of payload, 2 KiB a GiB. A size
// beyond it comes from a damaged resource entry and is not read.
constexpr std::size_t kMaxDigestTableSize = 1u << 20;

// The table's bytes. Types and names longer than 255 bytes cannot be written: empty text.
std::string EncodeDigestTable(const TDigestTable& table);

// `body`, a table's bytes up to its own digest, followed by that digest: how the encoder ends
// a table, and how a test reaches the checks of structure that come after the digest's check.
std::string SealDigestTable(std::string body);

// The table, when `bytes` are a whole, undamaged one of this format; nothing otherwise (cut
// short, trailing bytes, a count that does not add up, its own digest wrong), so that a
// damaged table vouches for no file at all.
std::optional<TDigestTable> DecodeDigestTable(const char* bytes, std::size_t size);

// The entry of the payload (type, name), letters compared without regard to ASCII case as
// the resource lookup compares them; null when the table has none.
const TFileDigests* FindFileDigests(const TDigestTable& table, const std::string& type,
                                    const std::string& name);
