// Writes the product's two data files, Tarvelon.bar and Tarvelon.car, with deterministic content.
//
// Usage: generate OUTDIR BAR_BYTES CAR_BYTES
//
// Each file is a xorshift64* stream seeded from the file's name, so the same size always gives
// the same bytes, the two files differ from each other, and no stretch of a file is all zeros:
// a truncated, shifted or misplaced piece of an installed copy shows up in a byte comparison
// with the build output.
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

std::uint64_t SeedFor(const char* name) {
  // FNV-1a over the name; never 0, which would stall xorshift.
  std::uint64_t h = 1469598103934665603ull;
  for (const char* p = name; *p; ++p) h = (h ^ static_cast<unsigned char>(*p)) * 1099511628211ull;
  return h ? h : 1;
}

bool ParseSize(const char* text, std::uint64_t& size) {
  char* end = nullptr;
  errno = 0;
  unsigned long long value = std::strtoull(text, &end, 10);
  if (errno != 0 || end == text || *end != '\0' || text[0] == '-') return false;
  size = value;
  return true;
}

bool WriteStream(const std::string& path, const char* name, std::uint64_t size) {
  std::FILE* out = std::fopen(path.c_str(), "wb");
  if (!out) {
    std::fprintf(stderr, "generate: cannot create %s: %s\n", path.c_str(), std::strerror(errno));
    return false;
  }
  std::uint64_t state = SeedFor(name);
  std::vector<std::uint64_t> block(1 << 17);  // 1 MiB
  std::uint64_t left = size;
  bool ok = true;
  while (left > 0 && ok) {
    for (auto& word : block) {
      state ^= state >> 12;
      state ^= state << 25;
      state ^= state >> 27;
      word = state * 2685821657736338717ull;
    }
    std::size_t bytes = block.size() * sizeof(block[0]);
    if (left < bytes) bytes = static_cast<std::size_t>(left);
    ok = std::fwrite(block.data(), 1, bytes, out) == bytes;
    left -= bytes;
  }
  if (std::fclose(out) != 0) ok = false;
  if (!ok) std::fprintf(stderr, "generate: cannot write %s\n", path.c_str());
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  std::uint64_t bar = 0, car = 0;
  if (argc != 4 || !ParseSize(argv[2], bar) || !ParseSize(argv[3], car)) {
    std::fprintf(stderr, "usage: generate OUTDIR BAR_BYTES CAR_BYTES\n");
    return 2;
  }
  const std::string dir = argv[1];
  bool ok = WriteStream(dir + "/Tarvelon.bar", "Tarvelon.bar", bar);
  ok = WriteStream(dir + "/Tarvelon.car", "Tarvelon.car", car) && ok;
  return ok ? 0 : 1;
}
