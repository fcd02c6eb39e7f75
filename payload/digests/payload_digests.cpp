// The build's writer and the release checks' reader of the setup's digest table.
//
//   payload_digests make TABLE TYPE NAME FILE [TYPE NAME FILE ...]
//       digests each FILE, which the setup embeds as resource (TYPE, NAME), into TABLE
//   payload_digests check TABLE TYPE NAME FILE [TYPE NAME FILE ...]
//       succeeds when TABLE is whole and vouches for exactly these files, byte for byte
//
// A failure is one line on standard error, naming the file, and exit code 1.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>
#include <string>
#include <vector>

#include "install/digest_table.h"
#include "platform/chunk_digest.h"

namespace {

struct TFailure {
  std::string Line;
};

// The digests of the file, read chunk by chunk: a data file may be larger than memory allows.
TFileDigests DigestFile(const std::string& type, const std::string& name, const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw TFailure{"cannot read " + path + ": " + std::strerror(errno)};
  // A resource's size is a 32-bit number.
  std::error_code error;
  const std::uintmax_t size = std::filesystem::file_size(path, error);
  if (!error && size > std::numeric_limits<std::uint32_t>::max())
    throw TFailure{path + " is too large to be embedded (" + std::to_string(size) + " bytes)"};
  TFileDigests file{type, name, 0, {}};
  std::vector<char> chunk(platform::kDigestChunkSize);
  while (in) {
    in.read(chunk.data(), static_cast<std::streamsize>(chunk.size()));
    const std::size_t got = static_cast<std::size_t>(in.gcount());
    if (got) file.Chunks.push_back(platform::DigestOf(chunk.data(), got));
    file.Size += got;
  }
  if (in.bad() || error || file.Size != size)
    throw TFailure{"cannot read " + path + " whole"};
  return file;
}

TDigestTable DigestFiles(char** args, int count) {
  if (count == 0 || count % 3) throw TFailure{"expected TYPE NAME FILE triples"};
  TDigestTable table;
  for (int k = 0; k < count; k += 3) table.push_back(DigestFile(args[k], args[k + 1], args[k + 2]));
  return table;
}

void Make(const std::string& path, const TDigestTable& table) {
  const std::string bytes = EncodeDigestTable(table);
  if (bytes.empty()) throw TFailure{"a type or name is longer than 255 bytes"};
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!out.write(bytes.data(), static_cast<std::streamsize>(bytes.size())) || !out.flush())
    throw TFailure{"cannot write " + path};
}

void Check(const std::string& path, const TDigestTable& files) {
  std::ifstream in(path, std::ios::binary);
  const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  const auto table = DecodeDigestTable(bytes.data(), bytes.size());
  if (!table) throw TFailure{path + " is no whole digest table"};
  if (table->size() != files.size())
    throw TFailure{path + " has " + std::to_string(table->size()) + " entries, not " +
                   std::to_string(files.size())};
  for (const TFileDigests& file : files) {
    const TFileDigests* entry = FindFileDigests(*table, file.Type, file.Name);
    if (!entry) throw TFailure{path + " has no entry " + file.Type + " " + file.Name};
    if (entry->Size != file.Size || entry->Chunks != file.Chunks)
      throw TFailure{path + ": the digests of " + file.Type + " " + file.Name + " do not match"};
  }
}

}  // namespace

int main(int argc, char** argv) {
  const std::string mode = argc > 1 ? argv[1] : "";
  try {
    if (argc < 3 || (mode != "make" && mode != "check"))
      throw TFailure{"usage: payload_digests make|check TABLE TYPE NAME FILE..."};
    const TDigestTable files = DigestFiles(argv + 3, argc - 3);
    if (mode == "make") Make(argv[2], files); else Check(argv[2], files);
  } catch (const TFailure& failure) {
    std::fprintf(stderr, "payload digests: %s\n", failure.Line.c_str());
    return 1;
  }
  return 0;
}
