#include "install/digest_table.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "platform/chunk_digest.h"

namespace {

constexpr char kMagic[8] = {'T', 'V', 'L', 'D', 'I', 'G', 'S', 'T'};

void PutNumber(std::string& out, std::uint64_t value, int bytes) {
  for (int k = 0; k < bytes; ++k) out += static_cast<char>((value >> (8 * k)) & 0xFF);
}

// Reads forward through the table's bytes; any read beyond the end fails and stays failed.
class TReader {
 public:
  TReader(const char* bytes, std::size_t size) : Bytes(bytes), Left(size) {}
  bool Number(std::uint64_t& value, int bytes) {
    if (!Take(bytes)) return false;
    value = 0;
    for (int k = 0; k < bytes; ++k)
      value |= std::uint64_t{static_cast<unsigned char>(Bytes[Pos - bytes + k])} << (8 * k);
    return true;
  }
  bool Text(std::string& text) {
    std::uint64_t length = 0;
    if (!Number(length, 1) || !Take(length)) return false;
    text.assign(Bytes + Pos - length, length);
    return true;
  }
  std::size_t Remaining() const { return Left; }

 private:
  bool Take(std::uint64_t count) {
    if (count > Left) return false;
    Pos += count;
    Left -= count;
    return true;
  }
  const char* Bytes;
  std::size_t Left;
  std::size_t Pos = 0;
};

bool SameAsciiText(const std::string& a, const std::string& b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           const auto upper = [](char c) { return c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c; };
           return upper(x) == upper(y);
         });
}

}  // namespace

std::string EncodeDigestTable(const TDigestTable& table) {
  std::string out(kMagic, sizeof(kMagic));
  PutNumber(out, platform::kDigestChunkSize, 4);
  PutNumber(out, table.size(), 4);
  for (const TFileDigests& file : table) {
    if (file.Type.size() > 255 || file.Name.size() > 255) return {};
    PutNumber(out, file.Type.size(), 1);
    out += file.Type;
    PutNumber(out, file.Name.size(), 1);
    out += file.Name;
    PutNumber(out, file.Size, 8);
    for (std::uint64_t chunk : file.Chunks) PutNumber(out, chunk, 8);
  }
  return SealDigestTable(std::move(out));
}

std::string SealDigestTable(std::string body) {
  PutNumber(body, platform::DigestOf(body.data(), body.size()), 8);
  return body;
}

std::optional<TDigestTable> DecodeDigestTable(const char* bytes, std::size_t size) {
  constexpr std::size_t kOwnDigest = 8;
  if (!bytes || size < sizeof(kMagic) + kOwnDigest || std::memcmp(bytes, kMagic, sizeof(kMagic)))
    return std::nullopt;
  TReader own(bytes + size - kOwnDigest, kOwnDigest);
  std::uint64_t ownDigest = 0;
  if (!own.Number(ownDigest, 8) || ownDigest != platform::DigestOf(bytes, size - kOwnDigest))
    return std::nullopt;

  TReader reader(bytes + sizeof(kMagic), size - sizeof(kMagic) - kOwnDigest);
  std::uint64_t chunkSize = 0, count = 0;
  if (!reader.Number(chunkSize, 4) || chunkSize != platform::kDigestChunkSize ||
      !reader.Number(count, 4))
    return std::nullopt;
  TDigestTable table;
  for (std::uint64_t k = 0; k < count; ++k) {
    TFileDigests file;
    if (!reader.Text(file.Type) || !reader.Text(file.Name) || !reader.Number(file.Size, 8))
      return std::nullopt;
    // Checked before anything is reserved: a damaged size must not ask for memory.
    const std::uint64_t chunks = file.Size / chunkSize + (file.Size % chunkSize ? 1 : 0);
    if (chunks > reader.Remaining() / 8) return std::nullopt;
    file.Chunks.resize(static_cast<std::size_t>(chunks));
    for (std::uint64_t& chunk : file.Chunks) reader.Number(chunk, 8);
    table.push_back(std::move(file));
  }
  if (reader.Remaining() != 0) return std::nullopt;
  return table;
}

const TFileDigests* FindFileDigests(const TDigestTable& table, const std::string& type,
                                    const std::string& name) {
  for (const TFileDigests& file : table)
    if (SameAsciiText(file.Type, type) && SameAsciiText(file.Name, name)) return &file;
  return nullptr;
}
